#include "AutoRun.h"

#include "Notice.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

AutoRun::AutoRun(QWidget &window, const QString &screenshotPath, int screenshotDelayMs, int quitAfterMs)
    : window(window)
    , screenshotPath(screenshotPath)
{
    if (!screenshotPath.isEmpty()) {
        shotPending = true;
        QTimer::singleShot(screenshotDelayMs, this, &AutoRun::takeScreenshot);
    }
    if (quitAfterMs >= 0)
        QTimer::singleShot(quitAfterMs, this, [this] {
            quitRequested = true;
            quitWhenDone();
        });
}

void AutoRun::takeScreenshot()
{
    shotPending = false;
    if (!window.grab().save(screenshotPath, "PNG")) {
        shotFailed = true;
        Notice::log(QStringLiteral("Could not save the screenshot to %1").arg(screenshotPath));
    }
    quitRequested = true;
    quitWhenDone();
}

void AutoRun::quitWhenDone()
{
    if (quitRequested && !shotPending)
        window.close();
}
