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

using namespace Qt::StringLiterals;

namespace {

using Box = MessageBoxAnswerer::Box;

const QByteArray kClosed("http://127.0.0.1:9/"); // what the fetches get does not matter here

QByteArray camBlock(const QByteArray &name, const QByteArray &address, const QByteArray &refresh)
{
    return "[name]" + name + "\r\n" + address + "\r\n" + refresh + "\r\n\r\n";
}

const QByteArray kCafeBlock = camBlock("Caf\xe9", kClosed + "caf\xe9.jpg", "10");
const QString kCafe = u"Caf\uFFFD"_s; // how the list shows "Caf\xe9"
const QByteArray kLongName(CamListItem::kShownNameLength + 1, 'L');
const QString kLongShown = QString(CamListItem::kShownNameLength, u'L') + u'\u2026';

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

// A screen reader announces every control by a name.
void verifyEveryControlNamed(QWidget *window)
{
    for (QWidget *control : window->findChildren<QWidget *>())
        QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                 qPrintable(control->objectName()));
}

} // namespace

// The main window's list box, slot pane and list file; every message box is answered. The list:
// Cam 2, Cam, Garden (capital marker: listed, never found), Hourly (refresh longer than typing
// allows), Caf\xe9, [WebCam], a name too long to show whole, Cam 00..24.
struct Fixture
{
    QTemporaryDir dir;
    SharedState state;
    QWidget window;
    QListWidget *List1 = new QListWidget(&window);
    SlotPane *pane = new SlotPane(state, &window);
    ListCommands commands{&window, List1, pane, state};
    MessageBoxAnswerer boxes;

    Fixture()
    {
        SetProgramFolder(dir.path());
        List1->setSortingEnabled(true);
        QByteArray bytes = "\r\n" + camBlock("Cam 2", kClosed + "2.jpg", "20") +
            camBlock("Cam", kClosed + "cam.jpg", "10") + "[NAME]Garden\r\nhttp://127.0.0.1:9/g.jpg\r\n5\r\n" +
            camBlock("Hourly", kClosed, "3600") + kCafeBlock + camBlock("[WebCam]", kClosed, "9") +
            camBlock(kLongName, kClosed, "9");
        for (int n = 0; n <= SlotPane::kSlotCount; ++n)
            bytes += camBlock("Cam " + QByteArray::number(n).rightJustified(2, '0'), kClosed, "60");
        QFile file(camListPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        FillCamList(List1, &window);
        window.show();
    }

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
    void dialogsThatWriteNothing();
    void editKeepsWhatWasNotChanged();
    void editMovesEntryAndUpdatesOpenSlots();
    void remove();
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
    typeFields(Form2, u"Cam"_s, u" http://127.0.0.1:9/yard.jpg "_s, QString());
    QTest::keyClicks(field(Form2, "Text3"), u"12x4"_s);

    // A failed write keeps the file and the dialog; adding again brings the open dialog forward.
    const QByteArray before = listBytes();
    QVERIFY(WithFileSizeLimit(0, [Form2] { click(Form2, "Command1"); }));
    QCOMPARE(listBytes(), before);
    f.commands.cmdAdd_Click();
    QCOMPARE(f.commands.Form2(), Form2);

    // Nothing is trimmed, three refresh characters at most; a listed name is added once more.
    click(Form2, "Command1");
    QCOMPARE(listBytes(), before + camBlock("Cam", " http://127.0.0.1:9/yard.jpg ", "12x"));
    QTRY_COMPARE(f.commands.Form2(), nullptr);
    QCOMPARE(f.items().mid(0, 4), (QStringList{"[WebCam]", kCafe, "Cam", "Cam"}));
}

// A field missing, holding a CR, or an address starting with the marker (read back it would start
// another block): one message, nothing written, the dialog stays.
void TestListCommands::dialogsThatWriteNothing()
{
    for (const auto &[edit, name, address, told] :
         {std::tuple{true, u"Cam"_s, QString(), kMissingInformationText},
          std::tuple{false, u"a\rb"_s, u"x"_s, kLineBreakInFieldText},
          std::tuple{false, u"New"_s, u"[Name]h/x"_s, kMarkerInFieldText}}) {
        Fixture f;
        f.select(u"Cam"_s);
        edit ? f.commands.cmdEdit_Click() : f.commands.cmdAdd_Click();
        CamEntryDialog *form = edit ? static_cast<CamEntryDialog *>(f.commands.Form3()) : f.commands.Form2();
        typeFields(form, name, address, u"1"_s);
        const QByteArray before = listBytes();
        click(form, "Command1");
        QCOMPARE(listBytes(), before);
        QCOMPARE(f.boxes.seen, (QList<Box>{Box{u":: error"_s, QString::fromLatin1(told), QMessageBox::Ok}}));
        QCOMPARE(field(form, "Text2")->text(), address);
    }
}

// OK without typing: the block moves to the end byte for byte, refresh and 8-bit name unharmed.
void TestListCommands::editKeepsWhatWasNotChanged()
{
    for (const auto &[shown, stored] :
         {std::pair{u"Hourly"_s, camBlock("Hourly", kClosed, "3600")}, std::pair{kCafe, kCafeBlock}}) {
        Fixture f;
        f.select(shown);
        f.commands.cmdEdit_Click();
        const QByteArray expected = listBytes().replace(stored, "\r\n\r\n\r\n") + "\r\n" + stored;
        click(f.commands.Form3(), "Command1");
        QCOMPARE(listBytes(), expected);
        QCOMPARE(f.items().count(shown), 1);
    }
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
    typeFields(Form3, u"Porch"_s, u"http://127.0.0.1:9/moved.jpg"_s, u"45"_s);
    click(Form3, "Command1");
    QVERIFY(listBytes().endsWith(camBlock("Porch", "http://127.0.0.1:9/moved.jpg", "45")));
    QTRY_COMPARE(f.commands.Form3(), nullptr);
    QCOMPARE(f.openTitles(), (QStringList{"Cam 2", "Porch"}));
    QCOMPARE(f.pane->slot(1)->address(), u"http://127.0.0.1:9/moved.jpg"_s);
}

// Cancelled, a name without block (not asked), a name too long to show whole; an open camera runs on.
void TestListCommands::remove()
{
    for (const auto &[shownName, confirmed, block, asked] :
         {std::tuple{u"Cam"_s, false, QByteArray(), true}, std::tuple{u"Garden"_s, true, QByteArray(), false},
          std::tuple{kLongShown, true, camBlock(kLongName, kClosed, "9"), true}}) {
        Fixture f;
        f.select(u"Cam"_s);
        f.commands.cmdStartCam_Click();
        f.boxes.answer = confirmed ? QMessageBox::Ok : QMessageBox::Cancel;
        QByteArray expected = listBytes();
        if (!block.isEmpty())
            expected.replace(block, "\r\n\r\n\r\n").append("\r\n");
        f.select(shownName);
        f.commands.cmdRemove_Click();
        QCOMPARE(listBytes(), expected);
        const Box question{u"Confirm Delete"_s, "Are you sure you want to delete " + shownName + '?',
                           QMessageBox::Ok | QMessageBox::Cancel};
        QCOMPARE(f.boxes.seen, asked ? QList<Box>{question} : QList<Box>());
        QCOMPARE(f.items().contains(shownName), block.isEmpty());
        QCOMPARE(f.openTitles(), QStringList{"Cam"});
    }
}

// Twice each: one notice (none for a double click) and nothing else.
void TestListCommands::commandsWithoutSelection()
{
    for (auto command : {&ListCommands::cmdEdit_Click, &ListCommands::cmdRemove_Click,
                         &ListCommands::cmdStartCam_Click, &ListCommands::List1_DblClick}) {
        Fixture f;
        const QByteArray before = listBytes();
        (f.commands.*command)();
        (f.commands.*command)();
        const QList<NoticeWindow *> notices = f.window.findChildren<NoticeWindow *>();
        QCOMPARE(notices.size(), command == &ListCommands::List1_DblClick ? 0 : 1);
        QCOMPARE(listBytes(), before);
        QVERIFY(f.boxes.seen.isEmpty());
        QCOMPARE(f.state.intOpenCams, 0);
        if (!notices.isEmpty())
            verifyEveryControlNamed(notices.first());
    }
}

void TestListCommands::start_data()
{
    QTest::addColumn<QStringList>("started"); // selected and started in turn
    QTest::addColumn<int>("stopped"); // the slot stopped before the last start; -1: none
    QTest::addColumn<QStringList>("open");
    QTest::newRow("lowest free slot")
        << QStringList{"Cam", "Cam 2", "Cam 00", "Hourly"} << 1 << QStringList{"Cam", "Hourly", "Cam 00"};
    QTest::newRow("name without block") << QStringList{"Garden"} << -1 << QStringList{};
    QTest::newRow("[WebCam] while a slot was never used") << QStringList{"[WebCam]"} << -1 << QStringList{};
    QTest::newRow("name too long, twice")
        << QStringList{kLongShown, kLongShown} << -1 << QStringList{kLongShown};
    QStringList all;
    for (int n = 0; n <= SlotPane::kSlotCount; ++n)
        all << u"Cam %1"_s.arg(n, 2, 10, QLatin1Char('0'));
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
