#pragma once

// The IP address control: four fields of 0 to 255, shown as dotted text in
// one edit. Typing keeps to that form: only digits and at most three dots, a
// field of at most three digits and no more than 255, and a fourth digit
// starts the next field. What the control holds is always four decimal
// numbers, a blank field being 0, so a partly typed address ("192.168.1")
// never reaches a resolver as its shorthand form (192.168.0.1).

#include <QString>
#include <QValidator>

class QLineEdit;

namespace dialog {

// The four fields of typed text as "a.b.c.d", each in decimal (a leading
// zero never makes a field octal), a blank or missing field read as 0.
// Empty when every field is blank, and for text the control cannot hold
// (more than four fields, anything but digits, a field above 255).
[[nodiscard]] QString ipAddressText(QStringView typed);

class IpAddressValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// A single-line edit that behaves as an IP address control.
[[nodiscard]] QLineEdit* makeIpAddressEdit(QWidget* parent);

} // namespace dialog
