#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Timed actions for unattended runs: a screenshot of the window after a delay, and closing the window.
// The window closes only after a requested screenshot has been taken.
class AutoRun : public QObject {
    Q_OBJECT

public:
    AutoRun(QWidget &window, const QString &screenshotPath, int screenshotDelayMs, int quitAfterMs);

    bool screenshotFailed() const { return shotFailed; }

private:
    void takeScreenshot();
    void quitWhenDone();

    QWidget &window;
    QString screenshotPath;
    bool shotPending = false;
    bool quitRequested = false;
    bool shotFailed = false;
};
