#include "camlist/noticewindow.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kMargin = 16;
}

NoticeWindow::NoticeWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("Oops!"));

    Label1 = new QLabel(QStringLiteral("You must first select a cam from the list."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(Label1->text());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(Label1);
    setFixedSize(sizeHint());
}

NoticeWindow::~NoticeWindow() = default;
