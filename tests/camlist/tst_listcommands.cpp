#include "camlist/addcamdialog.h"
#include "camlist/camlistfile.h"
#include "camlist/camlistitem.h"
#include "camlist/camlistmessages.h"
#include "camlist/editcamdialog.h"
#include "camlist/listcommands.h"
#include "camlist/noticewindow.h"
#include "common/programfolder.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/filesizelimit.h"
#include "support/messageboxanswerer.h"
#include "support/offscreenmain.h"

#include <QAccessible>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

using Box = MessageBoxAnswerer::Box;

// Cameras point at the loopback discard port: what their fetches get does not matter here.
const QByteArray kClosed("http://127.0.0.1:9/");

QByteArray camBlock(const QByteArray &name, const QByteArray &address, const QByteArray &refresh)
{
    return "[name]" + name + "\r\n" + address + "\r\n" + refresh + "\r\n\r\n";
}

const QByteArray kCamBlock = camBlock("Cam", kClosed + "cam.jpg", "10");
const QByteArray kCafeBlock = camBlock("Caf\xe9", kClosed + "caf\xe9.jpg", "10");
const QString kCafe = QStringLiteral("Caf\uFFFD"); // how the list shows the name stored as "Caf\xe9"
const QByteArray kLongName(CamListItem::kShownNameLength + 1, 'L');
const QString kLongShown = QString(CamListItem::kShownNameLength, u'L') + u'\u2026'; // how it is named

QByteArray listBytes()
{
    QFile file(camListPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QLatin1String(name));
}

void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

void typeFields(QWidget *dialog, const QString &name, const QString &address, const QString &refresh)
{
    field(dialog, "Text1")->setText(name);
    field(dialog, "Text2")->setText(address);
    field(dialog, "Text3")->setText(refresh);
}

// What a screen reader announces for every control of a window: never nothing.
void verifyEveryControlNamed(QWidget *window)
{
    for (QWidget *control : window->findChildren<QWidget *>()) {
        const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
    }
}

} // namespace

// What the main window gives the list commands: a sorted list box, a slot pane and a list file
// in a temporary program folder; every message box is answered.
struct Fixture
{
    QTemporaryDir dir;
    SharedState state;
    QWidget window;
    QListWidget *List1 = new QListWidget(&window);
    SlotPane *pane = new SlotPane(state, &window);
    ListCommands commands{&window, List1, pane, state};
    MessageBoxAnswerer boxes;

    // Cam 2, Cam, Garden (written with a capital marker: listed, never found), Hourly (a refresh
    // longer than typing allows), Caf\xe9 (not valid in the encoding), [WebCam], a name too long to
    // show whole, Cam 00..24.
    Fixture()
    {
        SetProgramFolder(dir.path());
        List1->setSortingEnabled(true);
        QByteArray bytes = "\r\n" + camBlock("Cam 2", kClosed + "2.jpg", "20") + kCamBlock +
            "[NAME]Garden\r\nhttp://127.0.0.1:9/g.jpg\r\n5\r\n" + camBlock("Hourly", kClosed, "3600") +
            kCafeBlock + camBlock("[WebCam]", kClosed, "9") + camBlock(kLongName, kClosed, "9");
        for (int n = 0; n <= SlotPane::kSlotCount; ++n)
            bytes += camBlock("Cam " + QByteArray::number(n).rightJustified(2, '0'), kClosed, "60");
        QFile file(camListPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        FillCamList(List1, &window);
        window.setGeometry(200, 150, 400, 300);
        window.show();
    }

    // Selects the item showing this text, as the user does.
    void select(const QString &text)
    {
        List1->setCurrentItem(List1->findItems(text, Qt::MatchExactly).value(0));
    }

    QStringList items() const
    {
        QStringList texts;
        for (int row = 0; row < List1->count(); ++row)
            texts << List1->item(row)->text();
        return texts;
    }

    // The titles of the slots shown, in slot order.
    QStringList openTitles() const
    {
        QStringList titles;
        for (int Index = 0; Index < SlotPane::kSlotCount; ++Index) {
            if (!pane->slot(Index)->isHidden())
                titles << pane->slot(Index)->title();
        }
        return titles;
    }
};

class TestListCommands : public QObject
{
    Q_OBJECT

private slots:
    void addDialog();
    void dialogsThatWriteNothing_data();
    void dialogsThatWriteNothing();
    void editKeepsWhatWasNotChanged_data();
    void editKeepsWhatWasNotChanged();
    void editMovesEntryAndUpdatesOpenSlots();
    void remove_data();
    void remove();
    void commandsWithoutSelection_data();
    void commandsWithoutSelection();
    void start_data();
    void start();
};

void TestListCommands::addDialog()
{
    Fixture f;
    f.commands.cmdAdd_Click();
    AddCamDialog *Form2 = f.commands.Form2();
    verifyEveryControlNamed(Form2);
    typeFields(Form2, QStringLiteral("Cam"), QStringLiteral(" http://127.0.0.1:9/yard.jpg "), QString());
    QTest::keyClicks(field(Form2, "Text3"), QStringLiteral("12x4"));
    QCOMPARE(field(Form2, "Text3")->text(), QStringLiteral("12x")); // three characters typed at most

    // A failed write keeps the file and the dialog with what was typed; adding again brings the
    // open dialog forward.
    const QByteArray before = listBytes();
    QVERIFY(WithFileSizeLimit(0, [Form2] { click(Form2, "Command1"); }));
    QCOMPARE(listBytes(), before);
    f.commands.cmdAdd_Click();
    QCOMPARE(f.commands.Form2(), Form2);
    QVERIFY(Form2->isVisible());

    // Nothing is trimmed, and a name already listed is added once more, sorted as a person reads.
    click(Form2, "Command1");
    QCOMPARE(listBytes(), before + camBlock("Cam", " http://127.0.0.1:9/yard.jpg ", "12x"));
    QTRY_COMPARE(f.commands.Form2(), nullptr);
    QCOMPARE(f.items().mid(0, 4), (QStringList{"[WebCam]", kCafe, "Cam", "Cam"}));
}

// OK with a field missing, holding a CR or starting with the marker: one message, nothing written, the dialog
// stays.
void TestListCommands::dialogsThatWriteNothing_data()
{
    QTest::addColumn<bool>("edit"); // the edit dialog for Cam, or the add dialog
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("told");

    QTest::newRow("add, name empty") << false << ""
                                     << " " << QString::fromLatin1(kMissingInformationText);
    QTest::newRow("edit, address empty") << true << "Cam"
                                         << "" << QString::fromLatin1(kMissingInformationText);
    QTest::newRow("add, CR in the name") << false << "a\rb"
                                         << "x" << QString::fromLatin1(kLineBreakInFieldText);
    QTest::newRow("edit, CR in the address") << true << "Cam"
                                             << "x\r" << QString::fromLatin1(kLineBreakInFieldText);
    // Read back, the address line would start another camera's block.
    QTest::newRow("add, address starting with the marker")
        << false << "New"
        << "[Name]h/x" << QString::fromLatin1(kMarkerInFieldText);
}

void TestListCommands::dialogsThatWriteNothing()
{
    QFETCH(bool, edit);
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, told);
    Fixture f;
    f.select(QStringLiteral("Cam"));
    edit ? f.commands.cmdEdit_Click() : f.commands.cmdAdd_Click();
    CamEntryDialog *form = edit ? static_cast<CamEntryDialog *>(f.commands.Form3()) : f.commands.Form2();
    typeFields(form, name, address, QStringLiteral("1"));
    const QByteArray before = listBytes();
    click(form, "Command1");
    QCOMPARE(listBytes(), before);
    QCOMPARE(f.boxes.seen, (QList<Box>{Box{QStringLiteral(":: error"), told, QMessageBox::Ok}}));
    QCOMPARE(field(form, "Text2")->text(), address);
}

// Editing a camera and pressing OK without typing: its block moves to the end byte for byte.
void TestListCommands::editKeepsWhatWasNotChanged_data()
{
    QTest::addColumn<QString>("shownName"); // the list item selected
    QTest::addColumn<QByteArray>("stored"); // its block
    QTest::addColumn<QString>("shownRefresh");

    QTest::newRow("refresh longer than typing allows")
        << "Hourly" << camBlock("Hourly", kClosed, "3600") << "3600";
    QTest::newRow("bytes outside the encoding") << kCafe << kCafeBlock << "10";
}

void TestListCommands::editKeepsWhatWasNotChanged()
{
    QFETCH(QString, shownName);
    QFETCH(QByteArray, stored);
    QFETCH(QString, shownRefresh);
    Fixture f;
    f.select(shownName);
    f.commands.cmdEdit_Click();
    EditCamDialog *Form3 = f.commands.Form3();
    QCOMPARE(field(Form3, "Text3")->text(), shownRefresh);
    QByteArray expected = listBytes();
    expected.replace(stored, "\r\n\r\n\r\n");
    click(Form3, "Command1");
    QCOMPARE(listBytes(), expected + "\r\n" + stored);
    QCOMPARE(f.items().count(shownName), 1);
}

void TestListCommands::editMovesEntryAndUpdatesOpenSlots()
{
    Fixture f;
    for (const char *name : {"Cam 2", "Cam"}) {
        f.select(QLatin1String(name));
        f.commands.cmdStartCam_Click();
    }
    f.commands.cmdEdit_Click();
    EditCamDialog *Form3 = f.commands.Form3();
    verifyEveryControlNamed(Form3);

    typeFields(Form3, QStringLiteral("Porch"), QStringLiteral("http://127.0.0.1:9/moved.jpg"),
               QStringLiteral("45"));
    // The block moves to the end; the open slot of the camera takes the new values.
    click(Form3, "Command1");
    QVERIFY(listBytes().endsWith(camBlock("Porch", "http://127.0.0.1:9/moved.jpg", "45")));
    QTRY_COMPARE(f.commands.Form3(), nullptr);
    QCOMPARE(f.openTitles(), (QStringList{"Cam 2", "Porch"}));
    QCOMPARE(f.pane->slot(1)->address(), QStringLiteral("http://127.0.0.1:9/moved.jpg"));
}

void TestListCommands::remove_data()
{
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QByteArray>("block"); // removed; empty: none
    QTest::addColumn<bool>("asked");

    QTest::newRow("cancelled") << "Cam" << false << QByteArray() << true;
    QTest::newRow("bytes outside the encoding") << kCafe << true << kCafeBlock << true;
    QTest::newRow("name without block") << "Garden" << true << QByteArray() << false;
    QTest::newRow("name too long to show whole")
        << kLongShown << true << camBlock(kLongName, kClosed, "9") << true;
}

void TestListCommands::remove()
{
    QFETCH(QString, shownName);
    QFETCH(bool, confirmed);
    QFETCH(QByteArray, block);
    QFETCH(bool, asked);
    Fixture f;
    f.select(QStringLiteral("Cam"));
    f.commands.cmdStartCam_Click();
    f.boxes.answer = confirmed ? QMessageBox::Ok : QMessageBox::Cancel;
    QByteArray expected = listBytes();
    if (!block.isEmpty())
        expected.replace(block, "\r\n\r\n\r\n").append("\r\n");
    f.select(shownName);
    f.commands.cmdRemove_Click();

    QCOMPARE(listBytes(), expected);
    const Box question{QStringLiteral("Confirm Delete"), "Are you sure you want to delete " + shownName + '?',
                       QMessageBox::Ok | QMessageBox::Cancel};
    QCOMPARE(f.boxes.seen, asked ? QList<Box>{question} : QList<Box>());
    QCOMPARE(f.items().contains(shownName), block.isEmpty());
    QCOMPARE(f.openTitles(), QStringList{"Cam"}); // an open camera keeps running
}

void TestListCommands::commandsWithoutSelection_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("noticed");
    for (const char *command : {"edit", "remove", "start"})
        QTest::newRow(command) << command << true;
    QTest::newRow("double click") << "dblclick" << false;
}

// Twice each: one notice, centred on its window, and nothing else.
void TestListCommands::commandsWithoutSelection()
{
    QFETCH(QString, command);
    QFETCH(bool, noticed);
    Fixture f;
    const QByteArray before = listBytes();
    const QHash<QString, void (ListCommands::*)()> commands{{"edit", &ListCommands::cmdEdit_Click},
                                                            {"remove", &ListCommands::cmdRemove_Click},
                                                            {"start", &ListCommands::cmdStartCam_Click},
                                                            {"dblclick", &ListCommands::List1_DblClick}};
    (f.commands.*commands.value(command))();
    (f.commands.*commands.value(command))();

    const QList<NoticeWindow *> notices = f.window.findChildren<NoticeWindow *>();
    QCOMPARE(notices.size(), noticed ? 1 : 0);
    QCOMPARE(listBytes(), before);
    QVERIFY(f.boxes.seen.isEmpty());
    QCOMPARE(f.state.intOpenCams, 0);
    if (!noticed)
        return;
    NoticeWindow *Form4 = notices.first();
    QVERIFY(Form4->isVisible());
    verifyEveryControlNamed(Form4);
    const QPoint offCentre = Form4->geometry().center() - f.window.geometry().center();
    QVERIFY2(offCentre.manhattanLength() < Form4->height(), "centred on the window it belongs to");
}

void TestListCommands::start_data()
{
    QTest::addColumn<QStringList>("started"); // selected and started in turn
    QTest::addColumn<int>("stopped"); // the slot stopped before the last start; -1: none
    QTest::addColumn<QStringList>("open"); // the slots' titles afterwards

    QTest::newRow("lowest free slot")
        << QStringList{"Cam", "Cam 2", "Cam 00", "Hourly"} << 1 << QStringList{"Cam", "Hourly", "Cam 00"};
    QTest::newRow("already open") << QStringList{"Cam", "Cam"} << -1 << QStringList{"Cam"};
    QTest::newRow("name without block") << QStringList{"Garden"} << -1 << QStringList{};
    QTest::newRow("[WebCam] while a slot was never used") << QStringList{"[WebCam]"} << -1 << QStringList{};
    QTest::newRow("bytes outside the encoding") << QStringList{kCafe} << -1 << QStringList{kCafe};
    QTest::newRow("name too long to show whole")
        << QStringList{kLongShown, kLongShown} << -1 << QStringList{kLongShown};
    QStringList all;
    for (int n = 0; n <= SlotPane::kSlotCount; ++n)
        all << QStringLiteral("Cam %1").arg(n, 2, 10, QLatin1Char('0'));
    QTest::newRow("25th camera") << all << -1 << all.mid(0, SlotPane::kSlotCount);
}

void TestListCommands::start()
{
    QFETCH(QStringList, started);
    QFETCH(int, stopped);
    QFETCH(QStringList, open);
    Fixture f;
    for (qsizetype i = 0; i < started.size(); ++i) {
        if (i == started.size() - 1 && stopped >= 0)
            f.pane->cmdStop_Click(qint16(stopped));
        f.select(started[i]);
        i % 2 ? f.commands.List1_DblClick() : f.commands.cmdStartCam_Click();
    }
    QCOMPARE(f.openTitles(), open);
    QCOMPARE(f.state.intOpenCams, open.size());
}

VANTORA_WIDGET_TEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
