#include "camlist/camlistmessages.h"

#include <QMessageBox>
#include <QString>

void showFieldError(QWidget *parent, const char *text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral(":: error"), QString::fromLatin1(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

bool confirmDelete(QWidget *parent, const QString &name)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Confirm Delete"),
                    QStringLiteral("Are you sure you want to delete ") + name + QLatin1Char('?'),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}
