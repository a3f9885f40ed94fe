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

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

#include <memory>

namespace {

// A loopback address nobody listens on: the slots' fetches are refused at once.
QString ClosedAddress(const QString &picture)
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(picture);
}

QByteArray Block(const QString &name, const QString &address, const QString &refresh)
{
    return "[name]" + name.toLocal8Bit() + "\r\n" + address.toLocal8Bit() + "\r\n" + refresh.toLocal8Bit()
         + "\r\n\r\n";
}

} // namespace

class TestListCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandsWithoutSelectionShowNotice_data();
    void commandsWithoutSelectionShowNotice();
    void addDialog();
    void validationKeepsDialogOpen_data();
    void validationKeepsDialogOpen();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void editMovesEntryAndUpdatesOpenSlots();
    void editOfUnlistedNameAppendsOnly();
    void failedEditKeepsFileAndDialog();
    void removeAsksFirst();
    void removeOfUnlistedNameDoesNothing();
    void startFillsLowestFreeSlot();
    void startRefusesOpenOrTwentyFifth_data();
    void startRefusesOpenOrTwentyFifth();

private:
    void writeList(const QByteArray &bytes);
    QByteArray readList() const;
    void select(const QString &name);
    QStringList items() const;
    QList<int> shownSlots() const;
    QStringList slotTexts(int Index) const; // caption, txtName, txtAddress, txtRefresh

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    QListWidget *m_List1 = nullptr;
    SlotPane *m_pane = nullptr;
    SharedState m_state;
    std::unique_ptr<ListCommands> m_commands;
    std::unique_ptr<MessageBoxAnswerer> m_boxes;
    QString m_camAddress;
};

void TestListCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SetProgramFolder(m_dir->path());
    m_state = SharedState{};
    m_window = std::make_unique<QWidget>();
    m_List1 = new QListWidget(m_window.get());
    m_List1->setObjectName(QStringLiteral("List1"));
    m_List1->setSortingEnabled(true);
    m_pane = new SlotPane(m_state, m_window.get());
    m_commands = std::make_unique<ListCommands>(m_window.get(), m_List1, m_pane, m_state);
    m_boxes = std::make_unique<MessageBoxAnswerer>();
    m_window->show();
    m_camAddress = ClosedAddress(QStringLiteral("cam.jpg"));
    writeList("\r\n" + Block("Cam 2", ClosedAddress("2.jpg"), "20") + Block("Cam", m_camAddress, "10")
              + "[NAME]Garden\r\nhttp://127.0.0.1:9/g.jpg\r\n5\r\n");
}

void TestListCommands::cleanup()
{
    m_commands.reset();
    m_window.reset();
    m_boxes.reset();
    SetProgramFolder(QString());
    m_dir.reset();
}

void TestListCommands::writeList(const QByteArray &bytes)
{
    QFile file(CamListPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    m_List1->clear();
    FillCamList(m_List1, m_window.get());
}

QByteArray TestListCommands::readList() const
{
    QFile file(CamListPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void TestListCommands::select(const QString &name)
{
    const QList<QListWidgetItem *> found = m_List1->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    found.first()->setSelected(true);
}

QStringList TestListCommands::items() const
{
    QStringList texts;
    for (int row = 0; row < m_List1->count(); ++row)
        texts.append(m_List1->item(row)->text());
    return texts;
}

QList<int> TestListCommands::shownSlots() const
{
    QList<int> shown;
    for (int Index = 0; Index < SlotPane::kSlotCount; ++Index) {
        if (!m_pane->slot(Index)->isHidden())
            shown.append(Index);
    }
    return shown;
}

QStringList TestListCommands::slotTexts(int Index) const
{
    const CameraSlot *s = m_pane->slot(Index);
    return {s->title(), s->txtName->text(), s->txtAddress->text(), s->txtRefresh->text()};
}

void TestListCommands::commandsWithoutSelectionShowNotice_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("notice");
    QTest::newRow("edit") << "edit" << true;
    QTest::newRow("remove") << "remove" << true;
    QTest::newRow("start") << "start" << true;
    QTest::newRow("double click") << "dblclick" << false;
}

void TestListCommands::commandsWithoutSelectionShowNotice()
{
    QFETCH(QString, command);
    QFETCH(bool, notice);
    const QByteArray before = readList();
    for (int time = 0; time < 2; ++time) {
        if (command == QLatin1String("edit"))
            m_commands->cmdEdit_Click();
        else if (command == QLatin1String("remove"))
            m_commands->cmdRemove_Click();
        else if (command == QLatin1String("start"))
            m_commands->cmdStartCam_Click();
        else
            m_commands->List1_DblClick();
    }
    QCOMPARE(m_commands->Form3(), nullptr);
    QVERIFY(m_boxes->seen.isEmpty());
    QVERIFY(shownSlots().isEmpty());
    QCOMPARE(m_state.intOpenCams, qint16(0));
    QCOMPARE(readList(), before);
    QCOMPARE(m_window->findChildren<NoticeWindow *>().size(), notice ? 1 : 0);
    if (!notice)
        return;

    NoticeWindow *Form4 = m_commands->Form4();
    QVERIFY(Form4 != nullptr && Form4->isVisible() && !Form4->isModal());
    QCOMPARE(Form4->objectName(), QStringLiteral("Form4"));
    QCOMPARE(Form4->windowTitle(), QStringLiteral("Oops!"));
    QCOMPARE(Form4->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("You must first select a cam from the list."));
    QVERIFY(Form4->findChildren<QAbstractButton *>().isEmpty());
    Form4->close();
    QTRY_COMPARE(m_commands->Form4(), nullptr);
}

void TestListCommands::addDialog()
{
    m_commands->cmdAdd_Click();
    AddCamDialog *Form2 = m_commands->Form2();
    QVERIFY(Form2 != nullptr && Form2->isVisible() && !Form2->isModal());
    QCOMPARE(Form2->windowTitle(), QStringLiteral("Vantora :: add a cam"));
    const auto field = [&](const char *name) { return Form2->findChild<QLineEdit *>(QLatin1String(name)); };
    const auto label = [&](const char *name) { return Form2->findChild<QLabel *>(QLatin1String(name))->text(); };
    QCOMPARE(field("Text1")->toolTip(), QStringLiteral("create a unique name"));
    QCOMPARE(field("Text2")->toolTip(),
             QStringLiteral("enter the exact path to the image (found by right clicking an image in your browser and "
                            "selecting \"properties\""));
    QCOMPARE(field("Text3")->toolTip(), QStringLiteral("Enter the time in seconds"));
    QCOMPARE(field("Text3")->maxLength(), 3);
    QCOMPARE((QStringList{label("Label1"), label("Label2"), label("Label3"), label("Label4")}),
             (QStringList{"Name:", "URL:", "Refresh:", "seconds"}));
    QCOMPARE(Form2->findChild<QAbstractButton *>(QStringLiteral("Command1"))->text(), QStringLiteral("OK"));
    QCOMPARE(Form2->findChild<QAbstractButton *>(QStringLiteral("Command2"))->text(), QStringLiteral("Cancel"));

    // Adding again brings the open dialog forward with what was typed.
    QTest::keyClicks(field("Text1"), QStringLiteral("   "));
    QTest::keyClicks(field("Text2"), QStringLiteral("http://127.0.0.1:9/yard.jpg"));
    QTest::keyClicks(field("Text3"), QStringLiteral("12x4"));
    m_commands->cmdAdd_Click();
    QCOMPARE(m_commands->Form2(), Form2);
    QCOMPARE(field("Text3")->text(), QStringLiteral("12x"));

    const QByteArray before = readList();
    QTest::mouseClick(Form2->findChild<QAbstractButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(m_boxes->seen.isEmpty());
    QCOMPARE(readList(), before + Block("   ", "http://127.0.0.1:9/yard.jpg", "12x"));
    QCOMPARE(items(), (QStringList{"   ", "Cam", "Cam 2", "Garden"}));
    QTRY_COMPARE(m_commands->Form2(), nullptr);

    // A new dialog starts empty; another name set by the program shows in its title.
    QCoreApplication::setApplicationName(QStringLiteral("Other"));
    m_commands->cmdAdd_Click();
    QCoreApplication::setApplicationName(QString());
    QCOMPARE(m_commands->Form2()->windowTitle(), QStringLiteral("Other :: add a cam"));
    QVERIFY(m_commands->Form2()->Text1->text().isEmpty());

    // The same name twice gives two blocks and two items.
    m_commands->Form2()->Text1->setText(QStringLiteral("Cam"));
    m_commands->Form2()->Text2->setText(QStringLiteral("x"));
    m_commands->Form2()->Text3->setText(QStringLiteral("1"));
    m_commands->Form2()->Command1->click();
    QCOMPARE(m_List1->findItems(QStringLiteral("Cam"), Qt::MatchExactly).size(), 2);
}

void TestListCommands::validationKeepsDialogOpen_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("emptyField");
    for (const char *dialog : {"add", "edit"}) {
        for (int emptyField = 1; emptyField <= 3; ++emptyField)
            QTest::addRow("%s, Text%d empty", dialog, emptyField) << dialog << emptyField;
    }
}

void TestListCommands::validationKeepsDialogOpen()
{
    QFETCH(QString, dialog);
    QFETCH(int, emptyField);
    CamEntryDialog *form = nullptr;
    if (dialog == QLatin1String("add")) {
        m_commands->cmdAdd_Click();
        form = m_commands->Form2();
    } else {
        select(QStringLiteral("Cam"));
        m_commands->cmdEdit_Click();
        form = m_commands->Form3();
    }
    QLineEdit *fields[] = {form->Text1, form->Text2, form->Text3};
    for (QLineEdit *field : fields)
        field->setText(QStringLiteral(" "));
    fields[emptyField - 1]->clear();
    const QByteArray before = readList();
    m_boxes->answer = QMessageBox::Ok;
    form->Command1->click();

    QCOMPARE(m_boxes->seen.size(), 1);
    QCOMPARE(m_boxes->seen[0].title, QStringLiteral(":: error"));
    QCOMPARE(m_boxes->seen[0].text, QStringLiteral("you must enter all information"));
    QCOMPARE(m_boxes->seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(form->isVisible());
    QCOMPARE(fields[emptyField % 3]->text(), QStringLiteral(" "));
    QCOMPARE(readList(), before);
}

void TestListCommands::cancelWritesNothing_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("how");
    for (const char *dialog : {"add", "edit"}) {
        for (const char *how : {"Cancel", "close control", "Escape"})
            QTest::addRow("%s, %s", dialog, how) << dialog << how;
    }
}

void TestListCommands::cancelWritesNothing()
{
    QFETCH(QString, dialog);
    QFETCH(QString, how);
    select(QStringLiteral("Cam"));
    CamEntryDialog *form = nullptr;
    if (dialog == QLatin1String("add")) {
        m_commands->cmdAdd_Click();
        form = m_commands->Form2();
    } else {
        m_commands->cmdEdit_Click();
        form = m_commands->Form3();
    }
    form->Text1->setText(QStringLiteral("Changed"));
    const QByteArray before = readList();
    const QStringList listed = items();
    if (how == QLatin1String("Cancel"))
        QTest::mouseClick(form->Command2, Qt::LeftButton);
    else if (how == QLatin1String("close control"))
        form->close();
    else
        QTest::keyClick(form, Qt::Key_Escape);

    QTRY_VERIFY(m_commands->Form2() == nullptr && m_commands->Form3() == nullptr);
    QCOMPARE(readList(), before);
    QCOMPARE(items(), listed);
}

void TestListCommands::editMovesEntryAndUpdatesOpenSlots()
{
    select(QStringLiteral("Cam 2"));
    m_commands->cmdStartCam_Click();
    select(QStringLiteral("Cam"));
    m_commands->cmdStartCam_Click();
    QCOMPARE(shownSlots(), (QList<int>{0, 1}));

    m_commands->cmdEdit_Click();
    EditCamDialog *Form3 = m_commands->Form3();
    QVERIFY(Form3 != nullptr && Form3->isVisible() && !Form3->isModal());
    QCOMPARE(Form3->windowTitle(), QStringLiteral("Cam"));
    QCOMPARE(Form3->Text1->toolTip(), QStringLiteral("Create a unique name for the cam"));
    QCOMPARE(Form3->Text3->maxLength(), 3);
    QCOMPARE(Form3->findChild<QLabel *>(QStringLiteral("Label5"))->text(),
             QStringLiteral("(Cams that are already open will need to be restarted)"));
    QCOMPARE((QStringList{Form3->Text1->text(), Form3->Text2->text(), Form3->Text3->text()}),
             (QStringList{"Cam", m_camAddress, "10"}));
    QCOMPARE(Form3->editEntry.address, m_camAddress);

    // Edit again with another selection: same dialog, same fields, only the title follows.
    select(QStringLiteral("Cam 2"));
    m_commands->cmdEdit_Click();
    QCOMPARE(m_commands->Form3(), Form3);
    QCOMPARE(Form3->windowTitle(), QStringLiteral("Cam 2"));
    QCOMPARE(Form3->Text1->text(), QStringLiteral("Cam"));

    const QByteArray before = readList();
    const QString moved = ClosedAddress(QStringLiteral("moved.jpg"));
    Form3->Text1->setText(QStringLiteral("Porch"));
    Form3->Text2->setText(moved);
    Form3->Text3->setText(QStringLiteral("45"));
    Form3->Command1->click();

    QByteArray expected = before;
    expected.replace(Block("Cam", m_camAddress, "10"), "\r\n\r\n\r\n");
    QCOMPARE(readList(), expected + "\r\n" + Block("Porch", moved, "45"));
    QCOMPARE(items(), (QStringList{"Cam 2", "Garden", "Porch"}));
    QTRY_COMPARE(m_commands->Form3(), nullptr);

    QCOMPARE(slotTexts(1), (QStringList{"Porch", "Porch", moved, "45"}));
    QCOMPARE(slotTexts(0).first(), QStringLiteral("Cam 2"));
    QCOMPARE(slotTexts(0).last(), QStringLiteral("20"));
}

void TestListCommands::editOfUnlistedNameAppendsOnly()
{
    // An earlier edit of Cam must not leave its entry behind for the next dialog.
    select(QStringLiteral("Cam"));
    m_commands->cmdEdit_Click();
    m_commands->Form3()->Command2->click();
    QTRY_COMPARE(m_commands->Form3(), nullptr);

    select(QStringLiteral("Garden")); // listed, but the lookup cannot find a capital marker
    m_commands->cmdEdit_Click();
    EditCamDialog *Form3 = m_commands->Form3();
    QCOMPARE((QStringList{Form3->windowTitle(), Form3->Text1->text(), Form3->Text2->text(), Form3->Text3->text()}),
             (QStringList{"Garden", "Garden", "", ""}));
    QVERIFY(Form3->editEntry.name.isEmpty());
    Form3->Text2->setText(QStringLiteral("http://127.0.0.1:9/g2.jpg"));
    Form3->Text3->setText(QStringLiteral("6"));
    const QByteArray before = readList();
    Form3->Command1->click();
    QCOMPARE(readList(), before + Block("Garden", "http://127.0.0.1:9/g2.jpg", "6"));
    QCOMPARE(items(), (QStringList{"Cam", "Cam 2", "Garden", "Garden"}));
}

void TestListCommands::failedEditKeepsFileAndDialog()
{
    select(QStringLiteral("Cam"));
    m_commands->cmdStartCam_Click();
    m_commands->cmdEdit_Click();
    EditCamDialog *Form3 = m_commands->Form3();
    Form3->Text1->setText(QStringLiteral("Porch"));
    const QByteArray before = readList();
    {
        ScopedFileSizeLimit full(0);
        QVERIFY(full.ok());
        Form3->Command1->click();
    }
    QCOMPARE(readList(), before);
    QVERIFY(m_commands->Form3() == Form3 && Form3->isVisible());
    QCOMPARE(Form3->Text1->text(), QStringLiteral("Porch"));
    QCOMPARE(items(), (QStringList{"Cam", "Cam 2", "Garden"}));
    QCOMPARE(m_pane->slot(0)->title(), QStringLiteral("Cam"));
}

void TestListCommands::removeAsksFirst()
{
    select(QStringLiteral("Cam"));
    m_commands->cmdStartCam_Click();
    const QByteArray before = readList();

    m_commands->cmdRemove_Click(); // answered with Cancel
    QCOMPARE(m_boxes->seen.size(), 1);
    QCOMPARE(m_boxes->seen[0].title, QStringLiteral("Confirm Delete"));
    QCOMPARE(m_boxes->seen[0].text, QStringLiteral("Are you sure you want to delete Cam?"));
    QCOMPARE(m_boxes->seen[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(readList(), before);
    QCOMPARE(items(), (QStringList{"Cam", "Cam 2", "Garden"}));

    m_boxes->answer = QMessageBox::Ok;
    m_commands->cmdRemove_Click();
    QCOMPARE(m_boxes->seen.size(), 2);
    QByteArray expected = before;
    expected.replace(Block("Cam", m_camAddress, "10"), "\r\n\r\n\r\n");
    QCOMPARE(readList(), expected + "\r\n");
    QCOMPARE(items(), (QStringList{"Cam 2", "Garden"}));
    QVERIFY(m_List1->selectedItems().isEmpty());
    QCOMPARE(m_commands->foundEntry.address, m_camAddress);
    QVERIFY(m_window->updatesEnabled());
    // The open camera keeps running.
    QCOMPARE(shownSlots(), QList<int>{0});
    QVERIFY(m_pane->slot(0)->timRefresh->isActive());
    QCOMPARE(m_state.intOpenCams, qint16(1));
}

void TestListCommands::removeOfUnlistedNameDoesNothing()
{
    select(QStringLiteral("Cam 2"));
    m_commands->cmdStartCam_Click(); // leaves Cam 2 in foundEntry
    const QByteArray before = readList();
    m_boxes->answer = QMessageBox::Ok;
    select(QStringLiteral("Garden"));
    m_commands->cmdRemove_Click();
    QVERIFY(m_boxes->seen.isEmpty());
    QCOMPARE(readList(), before);
    QCOMPARE(items(), (QStringList{"Cam", "Cam 2", "Garden"}));
}

void TestListCommands::startFillsLowestFreeSlot()
{
    for (const char *name : {"Cam", "Cam 2"}) {
        select(QLatin1String(name));
        m_commands->cmdStartCam_Click();
    }
    QCOMPARE(slotTexts(0), (QStringList{"Cam", "Cam", m_camAddress, "10"}));
    QVERIFY(m_pane->slot(0)->timRefresh->isActive());
    QCOMPARE(m_state.intOpenCams, qint16(2));
    QCOMPARE(m_commands->foundEntry.name, QStringLiteral("Cam 2"));

    // A name without a block opens nothing and keeps the count and the last found entry.
    select(QStringLiteral("Garden"));
    m_commands->List1_DblClick();
    QCOMPARE(shownSlots(), (QList<int>{0, 1}));
    QCOMPARE(m_commands->foundEntry.name, QStringLiteral("Cam 2"));

    writeList(readList() + Block("Third", ClosedAddress("3.jpg"), "30"));
    m_pane->cmdStop_Click(0);
    QCOMPARE(m_state.intOpenCams, qint16(1));
    select(QStringLiteral("Third"));
    m_commands->List1_DblClick();
    QCOMPARE(shownSlots(), (QList<int>{0, 1}));
    QCOMPARE(m_pane->slot(0)->title(), QStringLiteral("Third"));
    QCOMPARE(m_state.intOpenCams, qint16(2));
}

void TestListCommands::startRefusesOpenOrTwentyFifth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stopOne"); // open and stop a slot first
    QTest::addColumn<int>("open");     // cameras opened before

    QTest::newRow("already open") << "Cam" << false << 1;
    QTest::newRow("[WebCam] while a slot was never used") << "[WebCam]" << false << 0;
    QTest::newRow("[webcam] once a slot was stopped") << "[webcam]" << true << 0;
    QTest::newRow("25th camera") << "Cam 24" << false << SlotPane::kSlotCount;
}

void TestListCommands::startRefusesOpenOrTwentyFifth()
{
    QFETCH(QString, name);
    QFETCH(bool, stopOne);
    QFETCH(int, open);

    QByteArray bytes = readList() + Block("[WebCam]", ClosedAddress("w.jpg"), "9")
                     + Block("[webcam]", ClosedAddress("w.jpg"), "9");
    for (int number = 0; number <= SlotPane::kSlotCount; ++number)
        bytes += Block(QStringLiteral("Cam %1").arg(number, 2, 10, QLatin1Char('0')), ClosedAddress("n.jpg"), "60");
    writeList(bytes);
    if (stopOne) {
        select(QStringLiteral("Cam"));
        m_commands->cmdStartCam_Click();
        m_pane->cmdStop_Click(0);
    }
    if (name == QLatin1String("Cam")) {
        select(name);
        m_commands->cmdStartCam_Click();
    }
    for (int number = 0; number < open && name != QLatin1String("Cam"); ++number) {
        select(QStringLiteral("Cam %1").arg(number, 2, 10, QLatin1Char('0')));
        m_commands->cmdStartCam_Click();
    }
    QCOMPARE(m_state.intOpenCams, qint16(open));
    const QList<int> shown = shownSlots();

    select(name);
    m_commands->cmdStartCam_Click();
    m_commands->List1_DblClick();
    QCOMPARE(m_state.intOpenCams, qint16(open));
    QCOMPARE(shownSlots(), shown);
    QVERIFY(m_boxes->seen.isEmpty());
    QCOMPARE(m_commands->Form4(), nullptr);
}

VANTORA_WIDGET_TEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
