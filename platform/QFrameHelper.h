#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#if defined(COMUI_LIBRARY)
#define COMUI_API Q_DECL_EXPORT
#else
#define COMUI_API Q_DECL_IMPORT
#endif

class QMouseEvent;
class QWidget;

// Lets the operator move a frameless window by its top strip and, when allowed, resize it by its edges.
// Only presses that no child widget takes reach the helper, so buttons and edits in the strip keep working.
class COMUI_API QFrameHelper : public QObject {
    Q_OBJECT

public:
    explicit QFrameHelper(QObject *parent = nullptr);
    ~QFrameHelper() override;

    void activateOn(QWidget *widget);
    void setTitleHeight(unsigned height);
    void setWidgetMovable(bool movable);
    void setWidgetResizable(bool resizable);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Edge { None = 0, Left = 1, Top = 2, Right = 4, Bottom = 8 };

    int edgesAt(const QPoint &globalPos) const;
    bool press(QMouseEvent *event);
    bool drag(QMouseEvent *event);
    void resizeTo(const QPoint &globalPos);
    void updateCursor(const QPoint &globalPos);

    QPointer<QWidget> target;
    unsigned titleHeight = 0;
    bool movable = false;
    bool resizable = false;
    bool moving = false;
    int resizeEdges = None;
    QPoint pressGlobal;
    QPoint pressPos;
    QRect pressGeometry;
};
