#include "QFrameHelper.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int kBorder = 5; // pixels along each edge that start a resize
}

QFrameHelper::QFrameHelper(QObject *parent)
    : QObject(parent)
{
}

QFrameHelper::~QFrameHelper() = default;

void QFrameHelper::activateOn(QWidget *widget)
{
    if (target) {
        target->removeEventFilter(this);
        if (QWindow *window = target->window()->windowHandle())
            window->removeEventFilter(this);
    }
    target = widget;
    if (!target)
        return;
    target->installEventFilter(this);
    if (QWindow *window = target->window()->windowHandle())
        window->installEventFilter(this);
}

void QFrameHelper::setTitleHeight(unsigned height)
{
    titleHeight = height;
}
void QFrameHelper::setWidgetMovable(bool on)
{
    movable = on;
}

void QFrameHelper::setWidgetResizable(bool on)
{
    resizable = on;
    if (!on && target)
        target->unsetCursor();
}

bool QFrameHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (!target)
        return false;
    if (watched != target) {
        // The window sees hover moves that child widgets would swallow, so the edge cursor follows the pointer.
        if (event->type() == QEvent::MouseMove && !moving && !resizeEdges) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->buttons() == Qt::NoButton)
                updateCursor(mouse->globalPos());
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Show:
        if (QWindow *window = target->window()->windowHandle())
            window->installEventFilter(this);
        return false;
    case QEvent::MouseButtonPress:
        return press(static_cast<QMouseEvent *>(event));
    case QEvent::MouseMove:
        return drag(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        if (!moving && !resizeEdges)
            return false;
        moving = false;
        resizeEdges = None;
        event->accept();
        return true;
    default:
        return false;
    }
}

int QFrameHelper::edgesAt(const QPoint &globalPos) const
{
    const QPoint p = target->mapFromGlobal(globalPos);
    if (!target->rect().contains(p))
        return None;
    int edges = None;
    if (p.x() < kBorder)
        edges |= Left;
    else if (p.x() >= target->width() - kBorder)
        edges |= Right;
    if (p.y() < kBorder)
        edges |= Top;
    else if (p.y() >= target->height() - kBorder)
        edges |= Bottom;
    return edges;
}

bool QFrameHelper::press(QMouseEvent *event)
{
    // A release the helper never saw must not leave an old drag running.
    moving = false;
    resizeEdges = None;
    if (event->button() != Qt::LeftButton)
        return false;
    const int edges = resizable ? edgesAt(event->globalPos()) : None;
    const int y = target->mapFromGlobal(event->globalPos()).y();
    if (edges != None)
        resizeEdges = edges;
    else if (movable && y >= 0 && y < static_cast<int>(titleHeight))
        moving = true;
    else
        return false;
    pressGlobal = event->globalPos();
    pressPos = target->pos();
    pressGeometry = target->geometry();
    event->accept();
    return true;
}

bool QFrameHelper::drag(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || (!moving && !resizeEdges))
        return false;
    if (moving)
        target->move(pressPos + event->globalPos() - pressGlobal);
    else
        resizeTo(event->globalPos());
    event->accept();
    return true;
}

void QFrameHelper::resizeTo(const QPoint &globalPos)
{
    const QPoint d = globalPos - pressGlobal;
    const QSize minSize = target->minimumSize().expandedTo(target->minimumSizeHint());
    const QSize maxSize = target->maximumSize();
    QRect r = pressGeometry;
    // Each moved edge is bounded so the opposite edge stays where it was.
    if (resizeEdges & Left)
        r.setLeft(qBound(r.right() + 1 - maxSize.width(), r.left() + d.x(), r.right() + 1 - minSize.width()));
    if (resizeEdges & Right)
        r.setRight(qBound(r.left() - 1 + minSize.width(), r.right() + d.x(), r.left() - 1 + maxSize.width()));
    if (resizeEdges & Top)
        r.setTop(qBound(r.bottom() + 1 - maxSize.height(), r.top() + d.y(), r.bottom() + 1 - minSize.height()));
    if (resizeEdges & Bottom)
        r.setBottom(qBound(r.top() - 1 + minSize.height(), r.bottom() + d.y(), r.top() - 1 + maxSize.height()));
    target->setGeometry(r);
}

void QFrameHelper::updateCursor(const QPoint &globalPos)
{
    if (!resizable)
        return;
    const int edges = edgesAt(globalPos);
    if (edges == (Left | Top) || edges == (Right | Bottom))
        target->setCursor(Qt::SizeFDiagCursor);
    else if (edges == (Right | Top) || edges == (Left | Bottom))
        target->setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Left | Right))
        target->setCursor(Qt::SizeHorCursor);
    else if (edges & (Top | Bottom))
        target->setCursor(Qt::SizeVerCursor);
    else
        target->unsetCursor();
}
