#include "AddrDialogPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace AddrDialogPlacement {

QWidget *findMainWindow()
{
    QWidget *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (std::strcmp(w->metaObject()->className(), "MainWindow") == 0)
            found = w;
    return found;
}

QPoint ruleTopLeft(const QPoint &panelGlobal, int mainWindowHeight)
{
    // The dialog's width stands in for its height here too; kept, since operators know where it appears.
    return { panelGlobal.x() - kDialogWidth, (mainWindowHeight - kDialogWidth) / 2 };
}

QPoint keepInside(const QRect &rect, const QRect &area)
{
    const int x = std::max(area.left(), std::min(rect.left(), area.right() - rect.width() + 1));
    const int y = std::max(area.top(), std::min(rect.top(), area.bottom() - rect.height() + 1));
    return { x, y };
}

QPoint topLeftFor(QWidget *panel, QWidget *mainWindow, const QSize &dialogSize)
{
    QWidget *anchor = mainWindow ? mainWindow : panel->window();
    QPoint topLeft;
    if (mainWindow) {
        topLeft = ruleTopLeft(panel->mapToGlobal(panel->pos()), mainWindow->size().height());
    } else {
        const QRect frame = anchor->frameGeometry();
        topLeft = frame.topLeft()
            + QPoint((frame.width() - dialogSize.width()) / 2, (frame.height() - dialogSize.height()) / 2);
    }
    QScreen *screen = anchor->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return topLeft;
    return keepInside(QRect(topLeft, dialogSize), screen->availableGeometry());
}

} // namespace AddrDialogPlacement
