#pragma once

// Every message Ostrelle shows goes through here, so tests can read what the
// user would have been told without a modal box in the way.

#include <QString>

class QWidget;

namespace headadjust {

class Messenger {
public:
    virtual ~Messenger() = default;
    // A modal box with one OK button over the given window.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
};

class QtMessenger final : public Messenger {
public:
    void showMessage(QWidget* parent, const QString& text) override;
};

} // namespace headadjust
