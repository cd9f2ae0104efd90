#include "platform/dialog/edittext.h"

#include "platform/codepage.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVariant>

#include <algorithm>

namespace edittext {
namespace {
constexpr char StyleProperty[] = "poskitLineEnd";

codepage::LineEnd styleOf(const QPlainTextEdit& edit) {
    return edit.property(StyleProperty).toInt() == static_cast<int>(codepage::LineEnd::Lf)
               ? codepage::LineEnd::Lf
               : codepage::LineEnd::CrLf;
}

// What the last readInto() gave its field, forgotten as soon as the edit's
// text changes. Short texts are always read again: they cost nothing, and a
// short string keeps its buffer whatever it is assigned.
class LastRead final : public QObject {
public:
    static constexpr size_t MinSize = 4096;
    static constexpr char Name[] = "poskitLastRead";

    explicit LastRead(QPlainTextEdit& edit) : QObject(&edit) {
        setObjectName(QLatin1String(Name));
        connect(edit.document(), &QTextDocument::contentsChanged, this, &LastRead::forget);
    }

    [[nodiscard]] bool holds(const std::string& field) const {
        return m_data != nullptr && field.data() == m_data && field.size() == m_size;
    }
    void remember(const std::string& field) {
        m_data = field.size() >= MinSize ? field.data() : nullptr;
        m_size = field.size();
    }
    void forget() { m_data = nullptr; }

private:
    const char* m_data = nullptr;
    size_t m_size = 0;
};

} // namespace

void setBytes(QPlainTextEdit& edit, std::string_view bytes) {
    const auto style = codepage::detectLineEnd(bytes);
    edit.setProperty(StyleProperty, static_cast<int>(style));
    edit.setPlainText(codepage::toEditText(bytes, style));
}

std::string bytes(const QPlainTextEdit& edit) {
    return codepage::fromEditText(edit.toPlainText(), styleOf(edit));
}

// Offsets of the text as shown count its characters, a line break as one;
// each character stands for whole bytes, so a prefix converts on its own.
ByteRange selection(const QPlainTextEdit& edit) {
    const QTextCursor cursor = edit.textCursor();
    const QString text = edit.toPlainText();
    const auto bytesBefore = [&](int position) {
        return codepage::fromEditText(QStringView(text).left(position), styleOf(edit)).size();
    };
    return {bytesBefore(cursor.selectionStart()), bytesBefore(cursor.selectionEnd())};
}

void select(QPlainTextEdit& edit, ByteRange range) {
    const std::string all = bytes(edit);
    const auto position = [&](std::size_t offset) {
        const auto prefix = std::string_view(all).substr(0, offset);
        return static_cast<int>(codepage::toEditText(prefix, styleOf(edit)).size());
    };
    const int last = static_cast<int>(edit.toPlainText().size());
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(std::min(position(range.start), last));
    cursor.setPosition(std::min(position(range.end), last), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

void readInto(QPlainTextEdit& edit, std::string& field) {
    auto* last = dynamic_cast<LastRead*>(
        edit.findChild<QObject*>(QLatin1String(LastRead::Name), Qt::FindDirectChildrenOnly));
    if (last && last->holds(field))
        return;
    field = bytes(edit);
    if (!last)
        last = new LastRead(edit); // owned by the edit
    last->remember(field);
}

PausedRead::PausedRead(std::function<void()> read) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(PauseMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(read));
}

bool PausedRead::later(const QPlainTextEdit* edit) {
    if (edit == nullptr || edit->document()->characterCount() < LongText) {
        m_timer.stop(); // read now; a pending read would only repeat it
        return false;
    }
    m_timer.start();
    return true;
}

} // namespace edittext
