#include "platform/dialog/ipaddress.h"

#include <QLineEdit>

namespace dialog {
namespace {

constexpr int Fields = 4;
constexpr int FieldDigits = 3;
constexpr int FieldMax = 255;

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A field's value, -1 when it holds anything but up to three digits or
// lies above 255; 0 for a blank field.
int fieldValue(QStringView field) {
    if (field.size() > FieldDigits)
        return -1;
    int value = 0;
    for (QChar c : field) {
        if (!isDigit(c))
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= FieldMax ? value : -1;
}

} // namespace

QString ipAddressText(QStringView typed) {
    const auto fields = typed.split(u'.');
    if (fields.size() > Fields)
        return {};
    bool blank = true;
    QString text;
    for (int i = 0; i < Fields; ++i) {
        const QStringView field = i < fields.size() ? fields[i] : QStringView();
        const int value = fieldValue(field);
        if (value < 0)
            return {};
        blank = blank && field.isEmpty();
        if (i > 0)
            text += u'.';
        text += QString::number(value);
    }
    return blank ? QString() : text;
}

QValidator::State IpAddressValidator::validate(QString& input, int& pos) const {
    // A digit beyond a field's third starts the next field, as long as there
    // is one: the dot goes in before it.
    int dots = static_cast<int>(input.count(u'.'));
    int run = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input[i];
        if (c == u'.') {
            run = 0;
            continue;
        }
        if (!isDigit(c))
            return Invalid;
        if (++run > FieldDigits && dots < Fields - 1) {
            input.insert(i, u'.');
            if (pos > i)
                ++pos;
            ++dots;
            run = 0;
        }
    }
    if (dots >= Fields)
        return Invalid;
    for (QStringView field : QStringView(input).split(u'.'))
        if (fieldValue(field) < 0)
            return Invalid;
    return Acceptable;
}

QLineEdit* makeIpAddressEdit(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setValidator(new IpAddressValidator(e));
    e->setPlaceholderText(QStringLiteral("0.0.0.0"));
    return e;
}

} // namespace dialog
