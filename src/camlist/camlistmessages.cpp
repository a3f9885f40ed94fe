#include "camlist/camlistmessages.h"

#include <QMessageBox>
#include <QString>

void ShowMissingInformation(QWidget *parent)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kMissingInformationTitle),
                    QString::fromLatin1(kMissingInformationText), QMessageBox::Ok, parent);
    box.exec();
}

bool ConfirmDelete(QWidget *parent, const QString &name)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kConfirmDeleteTitle),
                    QStringLiteral("Are you sure you want to delete ") + name + QLatin1Char('?'),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}
