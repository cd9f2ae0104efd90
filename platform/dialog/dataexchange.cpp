#include "platform/dialog/dataexchange.h"

#include "platform/codepage.h"
#include "platform/dialog/edittext.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <climits>

namespace dialog {
namespace {

int s_promptDepth = 0;

struct PromptDepth {
    PromptDepth() { ++s_promptDepth; }
    ~PromptDepth() { --s_promptDepth; }
    PromptDepth(const PromptDepth&) = delete;
    PromptDepth& operator=(const PromptDepth&) = delete;
};

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Upper-case controls show ASCII letters as capitals whatever is put in;
// their copy is made in `upper`. Others show the bytes themselves, so a long
// text is not copied on its way to the control.
std::string_view shownAs(const TemplateDialog& d, int id, const std::string& bytes,
                         std::string& upper) {
    const ControlTemplate* t = d.controlTemplate(id);
    if (!t || !t->has(style::UpperCase))
        return bytes;
    upper = bytes;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

QString controlText(const QWidget* w) {
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    return {};
}

} // namespace

std::optional<long long> parseInteger(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    const qsizetype digitsFrom = i;
    long long value = 0;
    constexpr long long Cap = 1'000'000'000'000'000LL;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        if (value < Cap)
            value = value * 10 + (text[i].unicode() - u'0');
        ++i;
    }
    if (i == digitsFrom)
        return std::nullopt;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    return negative ? -value : value;
}

QString rangePrompt(int min, int max) {
    return QStringLiteral("“请填入一个在%1和%2之间的整数。”").arg(min).arg(max);
}

QString integerPrompt() {
    return QStringLiteral("请键入一个整数。");
}

DataExchange::DataExchange(TemplateDialog& dialog, Prompter& prompter, Direction direction,
                           Prompts prompts)
    : m_dialog(dialog), m_prompter(prompter), m_direction(direction), m_prompts(prompts) {}

bool DataExchange::promptOpen() {
    return s_promptDepth > 0;
}

void DataExchange::fail(int id, const QString& prompt) {
    m_failedId = id;
    if (m_prompts == Prompts::Quiet || promptOpen())
        return;
    {
        PromptDepth open;
        m_prompter.message(&m_dialog, prompt);
    }
    if (QWidget* w = m_dialog.control(id)) {
        w->setFocus(Qt::OtherFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->selectAll();
    }
}

void DataExchange::text(int id, std::string& bytes) {
    if (skip())
        return;
    QWidget* w = m_dialog.control(id);
    std::string upper;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
        if (reading())
            edittext::readInto(*edit, bytes);
        else
            edittext::setBytes(*edit, shownAs(m_dialog, id, bytes, upper));
        return;
    }
    if (reading()) {
        if (w)
            bytes = codepage::fromUnicode(controlText(w));
        return;
    }
    const QString shown = codepage::toUnicode(shownAs(m_dialog, id, bytes, upper));
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(shown);
    else if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable())
        c->setEditText(shown);
}

void DataExchange::number(int id, int& value) {
    number(id, value, INT_MIN, INT_MAX);
}

void DataExchange::number(int id, int& value, int min, int max) {
    if (skip())
        return;
    QWidget* w = m_dialog.control(id);
    if (!reading()) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setText(QString::number(value));
        return;
    }
    if (!w)
        return;
    const auto parsed = parseInteger(controlText(w));
    const bool ranged = min != INT_MIN || max != INT_MAX;
    if (!parsed || (!ranged && (*parsed < INT_MIN || *parsed > INT_MAX))) {
        fail(id, integerPrompt());
        return;
    }
    // The number is stored before its range is checked, so a caller that
    // goes on after the prompt works with what the person typed, not with
    // a value they can no longer see. Beyond 32 bits there is nothing to store.
    const bool fits = *parsed >= INT_MIN && *parsed <= INT_MAX;
    if (fits)
        value = static_cast<int>(*parsed);
    if (*parsed < min || *parsed > max)
        fail(id, rangePrompt(min, max));
}

void DataExchange::check(int id, bool& checked) {
    if (skip())
        return;
    auto* box = m_dialog.checkBox(id);
    if (!box)
        return;
    if (reading())
        checked = box->isChecked();
    else
        box->setChecked(checked);
}

void DataExchange::comboIndex(int id, int& index) {
    if (skip())
        return;
    auto* combo = m_dialog.comboBox(id);
    if (!combo)
        return;
    if (reading())
        index = combo->currentIndex();
    else
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace dialog
