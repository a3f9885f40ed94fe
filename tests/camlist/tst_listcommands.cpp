#include "addcamdialog.h"
#include "cameraslot.h"
#include "camlistfile.h"
#include "editcamdialog.h"
#include "filesizelimit.h"
#include "listcommands.h"
#include "messageboxanswerer.h"
#include "noticewindow.h"
#include "offscreenmain.h"
#include "programfolder.h"
#include "sharedstate.h"
#include "slotpane.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

// Cameras point at the loopback discard port: what their fetches get does not matter here.
const QString kClosed = QStringLiteral("http://127.0.0.1:9/");
const QString kCam = kClosed + QStringLiteral("cam.jpg"); // Cam's address

QByteArray Block(const QString &name, const QString &address, const QString &refresh)
{
    return "[name]" + name.toLocal8Bit() + "\r\n" + address.toLocal8Bit() + "\r\n" + refresh.toLocal8Bit() + "\r\n\r\n";
}

QByteArray ReadList()
{
    QFile file(CamListPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The dialog's title and fields, or sets the fields from "name|address|refresh".
QString Fields(CamEntryDialog *form, const QString &set = QString())
{
    if (!set.isNull()) {
        form->Text1->setText(set.section(u'|', 0, 0));
        form->Text2->setText(set.section(u'|', 1, 1));
        form->Text3->setText(set.section(u'|', 2, 2));
    }
    return QStringList{form->windowTitle(), form->Text1->text(), form->Text2->text(), form->Text3->text()}.join(u'|');
}

} // namespace

// The list commands on a list box, a slot pane and a list file in a temporary program folder.
class TestListCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addDialog();
    void dialogsThatWriteNothing_data();
    void dialogsThatWriteNothing();
    void editMovesEntryAndUpdatesOpenSlots();
    void removeAsksFirst();
    void startAndNotice_data();
    void startAndNotice();

private:
    void writeList(const QByteArray &bytes);
    void run(const QString &command, const QString &name = QString());
    QString opened() const;
    QString snapshot() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    QListWidget *m_List1 = nullptr;
    SlotPane *m_pane = nullptr;
    SharedState m_state;
    std::unique_ptr<ListCommands> m_commands;
    std::unique_ptr<MessageBoxAnswerer> m_boxes;
};

void TestListCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SetProgramFolder(m_dir->path());
    m_state = SharedState{};
    m_commands.reset();
    m_window = std::make_unique<QWidget>();
    m_List1 = new QListWidget(m_window.get());
    m_List1->setSortingEnabled(true);
    m_pane = new SlotPane(m_state, m_window.get());
    m_commands = std::make_unique<ListCommands>(m_window.get(), m_List1, m_pane, m_state);
    m_boxes = std::make_unique<MessageBoxAnswerer>();
    m_window->show();
    writeList("\r\n" + Block("Cam 2", kClosed + "2.jpg", "20") + Block("Cam", kCam, "10")
              + "[NAME]Garden\r\nhttp://127.0.0.1:9/g.jpg\r\n5\r\n");
}

void TestListCommands::writeList(const QByteArray &bytes)
{
    QFile file(CamListPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    m_List1->clear();
    FillCamList(m_List1, m_window.get());
}

// Selects the name (when given) as the user does, then runs the command.
void TestListCommands::run(const QString &command, const QString &name)
{
    if (!name.isEmpty())
        m_List1->setCurrentItem(m_List1->findItems(name, Qt::MatchExactly).value(0));
    const QHash<QString, void (ListCommands::*)()> commands{
        {"add", &ListCommands::cmdAdd_Click},        {"edit", &ListCommands::cmdEdit_Click},
        {"remove", &ListCommands::cmdRemove_Click},  {"start", &ListCommands::cmdStartCam_Click},
        {"dblclick", &ListCommands::List1_DblClick}};
    (m_commands.get()->*commands.value(command))();
}

// "open count|name last found|index title refresh,..." of the shown slots.
QString TestListCommands::opened() const
{
    QStringList shown;
    for (int Index = 0; Index < SlotPane::kSlotCount; ++Index) {
        const CameraSlot *s = m_pane->slot(Index);
        if (!s->isHidden())
            shown << QStringLiteral("%1 %2 %3").arg(Index).arg(s->title(), s->txtRefresh->text());
    }
    return QStringLiteral("%1|%2|").arg(m_state.intOpenCams).arg(m_commands->foundEntry.name) + shown.join(',');
}

// What a command may change: "file#items#opened()#boxes seen".
QString TestListCommands::snapshot() const
{
    QStringList items;
    for (int row = 0; row < m_List1->count(); ++row)
        items << m_List1->item(row)->text();
    return QString::fromLatin1(ReadList()) + '#' + items.join(',') + '#' + opened() + '#' + m_boxes->seen.join(',');
}

void TestListCommands::addDialog()
{
    run(QStringLiteral("add"));
    AddCamDialog *Form2 = m_commands->Form2();
    QVERIFY(Form2->isVisible() && !Form2->isModal());
    // Adding again brings the open dialog forward with what was typed; refresh takes 3 characters.
    QTest::keyClicks(Form2->Text1, QStringLiteral("   "));
    QTest::keyClicks(Form2->Text2, QStringLiteral("http://127.0.0.1:9/yard.jpg"));
    QTest::keyClicks(Form2->Text3, QStringLiteral("12x4"));
    run(QStringLiteral("add"));
    QCOMPARE(m_commands->Form2(), Form2);
    const QByteArray before = ReadList();
    QTest::mouseClick(Form2->Command1, Qt::LeftButton);
    QCOMPARE(ReadList(), before + Block("   ", "http://127.0.0.1:9/yard.jpg", "12x"));
    QTRY_COMPARE(m_commands->Form2(), nullptr);

    // A new dialog starts empty; the same name twice gives two blocks and two items.
    run(QStringLiteral("add"));
    QVERIFY(m_commands->Form2()->Text1->text().isEmpty());
    Fields(m_commands->Form2(), QStringLiteral("Cam|x|1"));
    m_commands->Form2()->Command1->click();
    QVERIFY(snapshot().endsWith(QLatin1String("#   ,Cam,Cam,Cam 2,Garden#0||#")));
}

void TestListCommands::dialogsThatWriteNothing_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("how"); // "1" to "3": OK with that field empty; "Cancel", "close" or "Escape"
    for (const char *dialog : {"add", "edit"}) {
        for (const char *how : {"1", "2", "3", "Cancel", "close", "Escape"})
            QTest::addRow("%s, %s", dialog, how) << dialog << how;
    }
}

void TestListCommands::dialogsThatWriteNothing()
{
    QFETCH(QString, dialog);
    QFETCH(QString, how);
    run(dialog, QStringLiteral("Cam"));
    CamEntryDialog *form = m_commands->Form2();
    if (dialog == QLatin1String("edit"))
        form = m_commands->Form3();
    Fields(form, QStringLiteral(" | | "));
    const QString before = snapshot();
    QLineEdit *fields[] = {form->Text1, form->Text2, form->Text3};
    if (const int empty = how.toInt(); empty > 0) {
        m_boxes->answer = QMessageBox::Ok;
        fields[empty - 1]->clear();
        form->Command1->click();
        const QString error = QStringLiteral(":: error|you must enter all information|%1").arg(QMessageBox::Ok);
        QCOMPARE(m_boxes->seen, QStringList{error});
        QVERIFY(form->isVisible() && fields[empty % 3]->text() == QLatin1String(" "));
        m_boxes->seen.clear();
    } else {
        if (how == QLatin1String("Cancel"))
            QTest::mouseClick(form->Command2, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            form->close();
        else
            QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(m_commands->Form2() == nullptr && m_commands->Form3() == nullptr);
    }
    QCOMPARE(snapshot(), before);
}

void TestListCommands::editMovesEntryAndUpdatesOpenSlots()
{
    run(QStringLiteral("start"), QStringLiteral("Cam 2"));
    run(QStringLiteral("start"), QStringLiteral("Cam"));
    run(QStringLiteral("edit"));
    EditCamDialog *Form3 = m_commands->Form3();
    QVERIFY(Form3->isVisible() && !Form3->isModal());
    QCOMPARE(Fields(Form3), "Cam|Cam|" + kCam + "|10");
    // Edit again with another selection: same dialog, same fields, only the title follows.
    run(QStringLiteral("edit"), QStringLiteral("Cam 2"));
    QCOMPARE(m_commands->Form3(), Form3);
    QCOMPARE(Fields(Form3), "Cam 2|Cam|" + kCam + "|10");
    QCOMPARE(Form3->editEntry.address, kCam);

    // A failed write changes nothing and keeps the dialog with what was typed.
    QByteArray expected = ReadList().replace(Block("Cam", kCam, "10"), "\r\n\r\n\r\n");
    Fields(Form3, "Porch|" + kClosed + "moved.jpg|45");
    const QString unchanged = snapshot();
    QVERIFY(WithFileSizeLimit(0, [Form3] { Form3->Command1->click(); }));
    QCOMPARE(snapshot(), unchanged);
    QCOMPARE(m_commands->Form3(), Form3);
    QCOMPARE(Fields(Form3), "Cam 2|Porch|" + kClosed + "moved.jpg|45");
    Form3->Command1->click();
    QCOMPARE(ReadList(), expected + "\r\n" + Block("Porch", kClosed + "moved.jpg", "45"));
    QTRY_COMPARE(m_commands->Form3(), nullptr);
    QVERIFY(snapshot().endsWith(QLatin1String("#Cam 2,Garden,Porch#2|Cam|0 Cam 2 20,1 Porch 45#")));
    QCOMPARE(m_pane->slot(1)->txtName->text() + m_pane->slot(1)->txtAddress->text(), "Porch" + kClosed + "moved.jpg");

    // A name the lookup cannot find (capital marker): nothing of the earlier edit is reused,
    // and OK only appends.
    run(QStringLiteral("edit"), QStringLiteral("Garden"));
    QCOMPARE(Fields(m_commands->Form3()), QStringLiteral("Garden|Garden||"));
    QVERIFY(m_commands->Form3()->editEntry.name.isEmpty());
    expected = ReadList() + Block("Garden", "http://127.0.0.1:9/g2.jpg", "6");
    Fields(m_commands->Form3(), QStringLiteral("Garden|http://127.0.0.1:9/g2.jpg|6"));
    m_commands->Form3()->Command1->click();
    QCOMPARE(ReadList(), expected);
}

void TestListCommands::removeAsksFirst()
{
    run(QStringLiteral("start"), QStringLiteral("Cam")); // also leaves Cam as the entry last found
    QByteArray expected = ReadList();
    const QString before = snapshot();
    m_boxes->answer = QMessageBox::Ok;
    run(QStringLiteral("remove"), QStringLiteral("Garden")); // no block: nothing asked, nothing removed
    QCOMPARE(snapshot(), before);

    m_boxes->answer = QMessageBox::Cancel;
    run(QStringLiteral("remove"), QStringLiteral("Cam"));
    const QString asked = QStringLiteral("Confirm Delete|Are you sure you want to delete Cam?|%1")
                              .arg((QMessageBox::Ok | QMessageBox::Cancel).toInt());
    QCOMPARE(snapshot(), before + asked);

    m_boxes->answer = QMessageBox::Ok;
    run(QStringLiteral("remove"));
    QCOMPARE(ReadList(), expected.replace(Block("Cam", kCam, "10"), "\r\n\r\n\r\n") + "\r\n");
    // The list no longer shows it, with nothing selected; the open camera keeps running.
    QVERIFY(snapshot().endsWith("#Cam 2,Garden#1|Cam|0 Cam 10#" + asked + ',' + asked));
    QVERIFY(m_List1->selectedItems().isEmpty() && m_window->updatesEnabled());
    QVERIFY(m_pane->slot(0)->timRefresh->isActive());
}

void TestListCommands::startAndNotice_data()
{
    QTest::addColumn<QString>("steps"); // "<command> <name to select>" or "stop <index>", joined by ";"
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("notice");

    // With nothing selected, edit, remove and start show the notice (once); a double click does nothing.
    for (const char *command : {"edit", "remove", "start", "dblclick"})
        QTest::addRow("%s, nothing selected", command) << QStringLiteral("%1;%1").arg(command) << "0||"
                                                       << (command != QLatin1String("dblclick"));
    QTest::newRow("lowest free slot") << "start Cam;start Cam 2;dblclick Third;stop 1;start Cam 00"
                                      << "3|Cam 00|0 Cam 10,1 Cam 00 60,2 Third 30" << false;
    QTest::newRow("name without block") << "start Cam;dblclick Garden" << "1|Cam|0 Cam 10" << false;
    QTest::newRow("already open") << "start Cam;start Cam;dblclick Cam" << "1|Cam|0 Cam 10" << false;
    QTest::newRow("[WebCam] while a slot was never used") << "start [WebCam]" << "0||" << false;
    QTest::newRow("[webcam] once a slot was stopped") << "start Cam;stop 0;start [webcam]" << "0|Cam|" << false;
    QString steps;
    QString shown;
    for (int n = 0; n < SlotPane::kSlotCount; ++n) {
        steps += QStringLiteral("start Cam %1;").arg(n, 2, 10, QLatin1Char('0'));
        shown += QStringLiteral(",%1 Cam %2 60").arg(n).arg(n, 2, 10, QLatin1Char('0'));
    }
    QTest::newRow("25th camera") << steps + "start Cam 24" << "24|Cam 23|" + shown.mid(1) << false;
}

void TestListCommands::startAndNotice()
{
    QFETCH(QString, steps);
    QFETCH(QString, opened);
    QFETCH(bool, notice);
    QByteArray bytes = ReadList() + Block("Third", kClosed + "3.jpg", "30") + Block("[WebCam]", kClosed, "9")
                     + Block("[webcam]", kClosed, "9");
    for (int n = 0; n <= SlotPane::kSlotCount; ++n)
        bytes += Block(QStringLiteral("Cam %1").arg(n, 2, 10, QLatin1Char('0')), kClosed + "n.jpg", "60");
    writeList(bytes);
    for (const QString &step : steps.split(u';')) {
        if (step.startsWith(QLatin1String("stop ")))
            m_pane->cmdStop_Click(qint16(step.section(u' ', 1).toInt()));
        else
            run(step.section(u' ', 0, 0), step.section(u' ', 1));
    }
    QCOMPARE(this->opened(), opened);
    for (int Index = 0; Index < SlotPane::kSlotCount; ++Index)
        QCOMPARE(m_pane->slot(Index)->timRefresh->isActive(), !m_pane->slot(Index)->isHidden());
    QVERIFY(ReadList() == bytes && m_boxes->seen.isEmpty() && m_commands->Form3() == nullptr);
    QCOMPARE(m_window->findChildren<NoticeWindow *>().size(), notice ? 1 : 0);
    if (!notice)
        return;
    NoticeWindow *Form4 = m_commands->Form4();
    QVERIFY(Form4->isVisible() && !Form4->isModal() && Form4->findChildren<QAbstractButton *>().isEmpty());
    QCOMPARE(Form4->objectName() + '|' + Form4->windowTitle() + '|' + Form4->Label1->text(),
             QStringLiteral("Form4|Oops!|You must first select a cam from the list."));
    Form4->close();
    QTRY_COMPARE(m_commands->Form4(), nullptr);
}

VANTORA_WIDGET_TEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
