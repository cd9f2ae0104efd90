#pragma once

// Copying between a dialog's controls and the plain fields of its model.
// One exchange function serves both directions:
//
//   void exchange(DataExchange& dx) {
//       dx.text(1002, m_fields.sendText);
//       dx.number(1069, m_fields.count, 1, 999999);
//   }
//
// Reading checks as it goes. A number edit that does not hold an integer
// prompts "请键入一个整数。"; one outside its range prompts the range text
// with the bounds. A number that fits in 32 bits is stored in its field
// before its range is checked, so an out-of-range count is the count the
// caller sees; a non-number, or a number beyond 32 bits, leaves the field
// as it was. Either way the read stops at that control: the focus goes to
// the control with its text selected, and every later call of the exchange
// does nothing. The caller decides whether to go on (ok() tells).
//
// Prompts never pile up: while one exchange prompt is open (its message box
// runs a nested event loop in which timers keep firing), another failing read
// stops just the same but shows nothing. Timer ticks read with
// Prompts::Quiet: they stop at a bad field like any read, but neither prompt
// nor move the focus, so a person who is halfway through typing a number is
// not interrupted twice a second.

#include <QString>

#include <optional>
#include <string>

namespace dialog {

class Prompter;
class TemplateDialog;

class DataExchange {
public:
    enum class Direction { Read, Write };
    enum class Prompts { Show, Quiet };

    DataExchange(TemplateDialog& dialog, Prompter& prompter, Direction direction,
                 Prompts prompts = Prompts::Show);

    [[nodiscard]] bool reading() const { return m_direction == Direction::Read; }
    // False once a read stopped at a control.
    [[nodiscard]] bool ok() const { return m_failedId == 0; }
    // The control the read stopped at; 0 while ok().
    [[nodiscard]] int failedId() const { return m_failedId; }

    // Text of an edit (single or multi-line) or of an editable combo box, as
    // code page 936 bytes.
    void text(int id, std::string& bytes);
    // Any 32-bit integer; and one that must lie in [min, max].
    void number(int id, int& value);
    void number(int id, int& value, int min, int max);
    void check(int id, bool& checked);
    // Selected item of a combo box; -1 for none.
    void comboIndex(int id, int& index);

    // True while an exchange prompt is on screen.
    [[nodiscard]] static bool promptOpen();

private:
    bool skip() const { return !ok(); }
    void fail(int id, const QString& prompt);

    TemplateDialog& m_dialog;
    Prompter& m_prompter;
    Direction m_direction;
    Prompts m_prompts;
    int m_failedId = 0;
};

// The integer an edit's text holds: optional blanks, an optional sign,
// decimal digits, optional blanks. Values far beyond 32 bits saturate.
[[nodiscard]] std::optional<long long> parseInteger(QStringView text);

// The prompts, filled.
[[nodiscard]] QString rangePrompt(int min, int max);
[[nodiscard]] QString integerPrompt();

} // namespace dialog
