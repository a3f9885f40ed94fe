#include "camlist/addcamdialog.h"
#include "camlist/camlistfile.h"
#include "camlist/editcamdialog.h"
#include "camlist/listcommands.h"
#include "camlist/noticewindow.h"
#include "common/programfolder.h"
#include "common/sharedstate.h"
#include "filesizelimit.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/messageboxanswerer.h"
#include "support/offscreenmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// Cameras point at the loopback discard port: what their fetches get does not matter here.
const QString kClosed = QStringLiteral("http://127.0.0.1:9/");
const QString kCam = kClosed + QStringLiteral("cam.jpg"); // Cam's address
const QString kAskedForCam = QStringLiteral("Confirm Delete|Are you sure you want to delete Cam?|%1")
                                 .arg((QMessageBox::Ok | QMessageBox::Cancel).toInt());

QByteArray Block(const QString &name, const QString &address, const QString &refresh)
{
    return "[name]" + name.toLocal8Bit() + "\r\n" + address.toLocal8Bit() + "\r\n" + refresh.toLocal8Bit() +
        "\r\n\r\n";
}

// Reads the list file, or writes it when bytes are given.
QByteArray List(const QByteArray &bytes = QByteArray())
{
    QFile file(CamListPath());
    if (!bytes.isNull())
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
            ? bytes
            : QByteArray("<unwritten>");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The dialog's title and fields (marked when the dialog is not shown), or sets the fields from
// "name|address|refresh".
QString Fields(CamEntryDialog *form, const QString &set = QString())
{
    QLineEdit *fields[] = {form->Text1, form->Text2, form->Text3};
    QString shown = form->windowTitle();
    for (int i = 0; i < 3; ++i) {
        if (!set.isNull())
            fields[i]->setText(set.section(u'|', i, i));
        shown += '|' + fields[i]->text();
    }
    return shown + (form->isVisible() ? "" : " hidden");
}

} // namespace

// What the main window gives the list commands: a list box, a slot pane and a list file in a
// temporary program folder; every message box is answered.
struct Fixture
{
    QTemporaryDir dir;
    SharedState state;
    QWidget window;
    QListWidget *List1 = new QListWidget(&window);
    SlotPane *pane = new SlotPane(state, &window);
    ListCommands commands{&window, List1, pane, state};
    MessageBoxAnswerer boxes;

    // The list file holds Cam 2, Cam and Garden (written with a capital marker), then extra.
    explicit Fixture(const QByteArray &extra = QByteArray())
    {
        SetProgramFolder(dir.path());
        List1->setSortingEnabled(true);
        List("\r\n" + Block("Cam 2", kClosed + "2.jpg", "20") + Block("Cam", kCam, "10") +
             "[NAME]Garden\r\nhttp://127.0.0.1:9/g.jpg\r\n5\r\n" + extra);
        FillCamList(List1, &window);
    }

    // Runs steps joined by ";": "<command> <name to select, as the user does>" or "stop <index>".
    void run(const QString &steps)
    {
        const QHash<QString, void (ListCommands::*)()> clicks{{"add", &ListCommands::cmdAdd_Click},
                                                              {"edit", &ListCommands::cmdEdit_Click},
                                                              {"remove", &ListCommands::cmdRemove_Click},
                                                              {"start", &ListCommands::cmdStartCam_Click},
                                                              {"dblclick", &ListCommands::List1_DblClick}};
        for (const QString &step : steps.split(u';')) {
            const QString command = step.section(u' ', 0, 0), name = step.section(u' ', 1);
            if (command == QLatin1String("stop"))
                pane->cmdStop_Click(qint16(name.toInt()));
            else if (!name.isEmpty())
                List1->setCurrentItem(List1->findItems(name, Qt::MatchExactly).value(0));
            if (clicks.contains(command))
                (commands.*clicks.value(command))();
        }
    }

    // What a command may change: "file#items#open count|name last found|slots shown#boxes seen",
    // a shown slot as "index title refresh", marked when it is not refreshing.
    QString snapshot() const
    {
        QStringList items;
        for (const QListWidgetItem *item : List1->findItems(QStringLiteral("*"), Qt::MatchWildcard))
            items << item->text();
        QStringList shown;
        for (int Index = 0; Index < SlotPane::kSlotCount; ++Index) {
            const CameraSlot *s = pane->slot(Index);
            if (!s->isHidden())
                shown << QStringLiteral("%1 %2 %3").arg(Index).arg(s->title(), s->refreshText()) +
                        (s->isRefreshTimerActive() ? "" : " idle");
        }
        return QString::fromLatin1(List()) + '#' + items.join(',') + '#' +
            QStringLiteral("%1|%2|").arg(state.intOpenCams).arg(commands.foundEntry.name) + shown.join(',') +
            '#' + boxes.seen.join(',');
    }
};

class TestListCommands : public QObject
{
    Q_OBJECT

private slots:
    void addDialog();
    void dialogsThatWriteNothing_data();
    void dialogsThatWriteNothing();
    void editMovesEntryAndUpdatesOpenSlots();
    void removeAsksFirst();
    void commandSequences_data();
    void commandSequences();
};

void TestListCommands::addDialog()
{
    Fixture f;
    f.run("add");
    AddCamDialog *Form2 = f.commands.Form2();
    // A failed write keeps what was typed; adding again brings the open dialog forward with it.
    // Refresh takes 3 characters, nothing is trimmed, and a name already listed is added once more.
    Fields(Form2, "Cam| http://127.0.0.1:9/yard.jpg |12x4");
    const QByteArray before = List();
    QVERIFY(WithFileSizeLimit(0, [Form2] { Form2->Command1->click(); }));
    QVERIFY2(Form2->isVisible() && List() == before,
             "a failed write keeps the dialog open and the file whole");
    f.run("add");
    QVERIFY(f.commands.Form2() == Form2 && Form2->isVisible() && !Form2->isModal());
    QTest::mouseClick(Form2->Command1, Qt::LeftButton);
    QCOMPARE(List(), before + Block("Cam", " http://127.0.0.1:9/yard.jpg ", "12x"));
    QTRY_COMPARE(f.commands.Form2(), nullptr);
    QCOMPARE(f.snapshot().section(u'#', 1), QStringLiteral("Cam,Cam,Cam 2,Garden#0||#"));
}

void TestListCommands::dialogsThatWriteNothing_data()
{
    QTest::addColumn<QString>("how"); // "<dialog> <button>|<name>|<address>|<refresh>"
    for (const char *how : {"add OK|| |1", "add OK| ||1", "add OK| | |", "edit OK| ||1", "edit Cancel|x|x|1"})
        QTest::newRow(how) << how;
}

void TestListCommands::dialogsThatWriteNothing()
{
    QFETCH(QString, how);
    Fixture f;
    f.run(how.section(u' ', 0, 0) + " Cam");
    CamEntryDialog *form =
        f.commands.Form2() ? static_cast<CamEntryDialog *>(f.commands.Form2()) : f.commands.Form3();
    const QString typed = Fields(form, how.section(u'|', 1));
    const QString before = f.snapshot();
    const bool ok = how.contains(QLatin1String(" OK|"));
    QTest::mouseClick(ok ? form->Command1 : form->Command2, Qt::LeftButton);
    // OK with a field empty tells the user and keeps what was typed; Cancel closes the dialog.
    const QString told = QStringLiteral(":: error|you must enter all information|%1").arg(QMessageBox::Ok);
    QCOMPARE(f.snapshot(), before + (ok ? told : QString()));
    if (ok)
        QCOMPARE(Fields(form), typed);
    else
        QTRY_VERIFY(f.commands.Form2() == nullptr && f.commands.Form3() == nullptr);
}

void TestListCommands::editMovesEntryAndUpdatesOpenSlots()
{
    Fixture f;
    // Editing again with another selection keeps the dialog and its fields; only the title follows.
    f.run("start Cam 2;start Cam;edit;edit Cam 2");
    EditCamDialog *Form3 = f.commands.Form3();
    QCOMPARE(Fields(Form3), "Cam 2|Cam|" + kCam + "|10");

    // A failed write changes nothing and keeps the dialog open with what was typed.
    const QByteArray expected = List().replace(Block("Cam", kCam, "10"), "\r\n\r\n\r\n");
    Fields(Form3, "Porch|" + kClosed + "moved.jpg|45");
    const QString unchanged = f.snapshot();
    QVERIFY(WithFileSizeLimit(0, [Form3] { Form3->Command1->click(); }));
    QCOMPARE(f.snapshot(), unchanged);
    QCOMPARE(Fields(Form3), "Cam 2|Porch|" + kClosed + "moved.jpg|45");
    Form3->Command1->click();
    QCOMPARE(List(), expected + "\r\n" + Block("Porch", kClosed + "moved.jpg", "45"));
    QTRY_COMPARE(f.commands.Form3(), nullptr);
    QVERIFY(f.snapshot().endsWith(QLatin1String("#Cam 2,Garden,Porch#2|Cam|0 Cam 2 20,1 Porch 45#")));
    QCOMPARE(f.pane->slot(1)->name() + f.pane->slot(1)->address(), "Porch" + kClosed + "moved.jpg");
    // A name the lookup cannot find (capital marker): the fields show it alone.
    f.run("edit Garden");
    QCOMPARE(Fields(f.commands.Form3()), QStringLiteral("Garden|Garden||"));
}

void TestListCommands::removeAsksFirst()
{
    Fixture f;
    QByteArray expected = List();
    f.boxes.answer = QMessageBox::Ok;
    f.run("start Cam;remove");
    QCOMPARE(List(), expected.replace(Block("Cam", kCam, "10"), "\r\n\r\n\r\n") + "\r\n");
    // The list no longer shows it; the open camera keeps running.
    QVERIFY(f.snapshot().endsWith("#Cam 2,Garden#1|Cam|0 Cam 10#" + kAskedForCam));
}

// Commands that open one camera or none, with Third, [WebCam] and Cam 00 to Cam 24 added to the list.
void TestListCommands::commandSequences_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("outcome"); // "open count|name last found|slots shown#boxes seen#notices shown"

    // With nothing selected, edit, remove and start show the notice (once); a double click does nothing.
    const QString notice = QStringLiteral("Form4|Oops!|You must first select a cam from the list.");
    for (const char *command : {"edit", "remove", "start", "dblclick"})
        QTest::addRow("%s, nothing selected", command)
            << QStringLiteral("%1;%1").arg(command)
            << "0||##" + (qstrcmp(command, "dblclick") ? notice : QString());
    QTest::newRow("lowest free slot") << "start Cam;start Cam 2;dblclick Third;stop 1;start Cam 00"
                                      << "3|Cam 00|0 Cam 10,1 Cam 00 60,2 Third 30##";
    // A name without a block opens nothing, and its removal asks nothing.
    QTest::newRow("name without block") << "start Cam;dblclick Garden;remove Garden"
                                        << "1|Cam|0 Cam 10##";
    QTest::newRow("already open") << "start Cam;start Cam;dblclick Cam"
                                  << "1|Cam|0 Cam 10##";
    QTest::newRow("[WebCam] while a slot was never used") << "start [WebCam]"
                                                          << "0||##";
    QTest::newRow("remove cancelled") << "remove Cam"
                                      << "0|Cam|#" + kAskedForCam + '#';
    QString steps, shown;
    for (int n = 0; n < SlotPane::kSlotCount; ++n) {
        steps += QStringLiteral("start Cam %1;").arg(n, 2, 10, QLatin1Char('0'));
        shown += QStringLiteral(",%1 Cam %2 60").arg(n).arg(n, 2, 10, QLatin1Char('0'));
    }
    QTest::newRow("25th camera") << steps + "start Cam 24"
                                 << "24|Cam 23|" + shown.mid(1) + "##";
}

void TestListCommands::commandSequences()
{
    QFETCH(QString, steps);
    QFETCH(QString, outcome);
    QByteArray extra = Block("Third", kClosed + "3.jpg", "30") + Block("[WebCam]", kClosed, "9");
    for (int n = 0; n <= SlotPane::kSlotCount; ++n)
        extra += Block(QStringLiteral("Cam %1").arg(n, 2, 10, QLatin1Char('0')), kClosed + "n.jpg", "60");
    Fixture f(extra);
    const QByteArray bytes = List();
    f.run(steps);
    QStringList notes; // the notice windows, marked when not shown
    for (const NoticeWindow *w : f.window.findChildren<NoticeWindow *>())
        notes << w->objectName() + '|' + w->windowTitle() + '|' + w->Label1->text() +
                (w->isVisible() ? "" : " hidden");
    QCOMPARE(f.snapshot().section(u'#', 2) + '#' + notes.join(','), outcome);
    QVERIFY2(List() == bytes && f.commands.Form3() == nullptr, "nothing written, no edit dialog");
}

VANTORA_WIDGET_TEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
