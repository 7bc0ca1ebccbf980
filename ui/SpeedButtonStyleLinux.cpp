#include "ui/SpeedButtonStyleLinux.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QWidget>

void SpeedButtonStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                   const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionToolButton *>(option);
    if (element != CE_ToolButtonLabel || !button || !widget ||
        button->toolButtonStyle != Qt::ToolButtonTextBesideIcon) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Measured from the button's own edge, not from inside the frame the
    // platform style reserves; a pressed button shifts as the style wants.
    QRect area = widget->rect();
    if (button->state & (State_Sunken | State_On))
        area.translate(pixelMetric(PM_ButtonShiftHorizontal, option, widget),
                       pixelMetric(PM_ButtonShiftVertical, option, widget));
    const QSize size = button->iconSize;
    const QRect glyph(area.left() + GlyphMargin, area.top() + (area.height() - size.height()) / 2, size.width(),
                      size.height());
    const bool enabled = button->state & State_Enabled;
    const bool raised = (button->state & State_MouseOver) && (button->state & State_AutoRaise);
    button->icon.paint(painter, glyph, Qt::AlignCenter,
                       !enabled ? QIcon::Disabled : raised ? QIcon::Active : QIcon::Normal);

    QRect caption = area;
    caption.setLeft(glyph.right() + 1 + GlyphSpacing);
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    if (!styleHint(SH_UnderlineShortcut, option, widget))
        flags |= Qt::TextHideMnemonic;
    drawItemText(painter, caption, flags, button->palette, enabled, button->text, QPalette::ButtonText);
}
