#include "Notice.h"

#include <QMessageBox>
#include <cstdio>

namespace {
bool watched = false;
}

void Notice::setInteractive(bool interactive)
{
    watched = interactive;
}

bool Notice::interactive()
{
    return watched;
}

void Notice::log(const QString &text)
{
    std::fprintf(stderr, "halcyra-host: %s\n", qUtf8Printable(text));
    std::fflush(stderr);
}

void Notice::warn(QWidget *parent, const QString &text)
{
    log(text);
    if (!watched)
        return;
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("halcyra-host"), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
