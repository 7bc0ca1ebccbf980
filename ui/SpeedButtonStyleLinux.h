#pragma once
// The look of the window's action buttons: the glyph 3 pixels from the left
// edge and the caption 10 pixels after it, whatever the platform style's own
// spacing. Everything else is drawn by the platform style.
#include <QProxyStyle>

class SpeedButtonStyle : public QProxyStyle {
public:
    static constexpr int GlyphMargin = 3;
    static constexpr int GlyphSpacing = 10;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
};
