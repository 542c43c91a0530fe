#include "AlertSheet.h"

#include <QMessageBox>

WindowRef ShowCautionAlertSheet(WindowRef parent, const char* message) {
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(), QString::fromUtf8(message),
                                  QMessageBox::Ok, parent, Qt::Dialog | Qt::Sheet);
    alert->setObjectName(QStringLiteral("cautionAlertSheet"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->open();
    return alert;
}
