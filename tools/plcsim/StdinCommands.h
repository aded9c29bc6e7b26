#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

// Splits standard input into command lines without a reader thread; reports the end of input.
class StdinCommands : public QObject {
    Q_OBJECT
public:
    explicit StdinCommands(QObject *parent = nullptr);

signals:
    void commandReceived(const QString &command);
    void inputEnded();

private:
    void readAvailable();

    QSocketNotifier m_notifier;
    QByteArray m_pending;
};
