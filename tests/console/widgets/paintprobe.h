#pragma once

// Helpers for the widgets' look: a host window with a palette of distinct
// colours, so a sampled pixel tells which role painted it, and counting the
// pixels of one colour in a rendered widget.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace probe {

inline const QColor Face{200, 200, 200};
inline const QColor FaceText{10, 10, 10};
inline const QColor Light{250, 250, 250};
inline const QColor Midlight{225, 225, 225};
inline const QColor Dark{120, 120, 120};
inline const QColor Shadow{60, 60, 60};
inline const QColor Base{240, 250, 230};
inline const QColor DisabledBase{215, 215, 205};
inline const QColor Highlight{20, 60, 160};
inline const QColor HighlightedText{255, 255, 240};
inline const QColor Text{5, 5, 40};

inline QPalette palette() {
    QPalette p;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Button, Face);
        p.setColor(group, QPalette::ButtonText, FaceText);
        p.setColor(group, QPalette::Light, Light);
        p.setColor(group, QPalette::Midlight, Midlight);
        p.setColor(group, QPalette::Dark, Dark);
        p.setColor(group, QPalette::Shadow, Shadow);
        p.setColor(group, QPalette::Base, group == QPalette::Disabled ? DisabledBase : Base);
        p.setColor(group, QPalette::Highlight, Highlight);
        p.setColor(group, QPalette::HighlightedText, HighlightedText);
        p.setColor(group, QPalette::Text, Text);
    }
    return p;
}

// A shown, active top-level window whose children take the palette above.
class Host : public QWidget {
public:
    Host() {
        setPalette(probe::palette());
        resize(400, 300);
    }
    void showActive() {
        show();
        QApplication::setActiveWindow(this);
    }
};

inline QImage render(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor at(const QImage& image, QPoint p) {
    return image.pixelColor(p);
}

inline int count(const QImage& image, const QColor& colour, QRect within = {}) {
    if (within.isNull())
        within = image.rect();
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                ++n;
    return n;
}

// A pixel and the colour it should have.
struct Sample {
    QPoint at;
    QColor colour;
};

} // namespace probe

// Colours print as (r, g, b) in failures.
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << '(' << c.red() << ", " << c.green() << ", " << c.blue() << ')';
}

namespace probe {

inline void expectSamples(const QImage& image, const std::vector<Sample>& samples) {
    for (const Sample& s : samples)
        EXPECT_EQ(at(image, s.at), s.colour) << s.at.x() << ',' << s.at.y();
}

} // namespace probe
