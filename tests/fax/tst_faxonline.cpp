// The weather fax end to end: the real program against the simulator
// program on a pseudo-terminal. The FAX tab puts the unit into FAX mode with
// the settings kept in "Dervalo-extra.ini"; the simulator sends its chart in
// 0x3F frames of any length at the pace they give (twenty times faster);
// the chart grows in the fax window and, when the mode changes, lies in
// fax/ as a PNG whose every dot is the simulator's.
#include <QDir>
#include <QtTest>

#include "LiveStation.h"
#include "ModelFax.h"
#include "fax/FaxReception.h"
#include "fax/FaxWindow.h"
#include "shell/Widgets.h"

class FaxOnlineTest : public QObject {
    Q_OBJECT
private slots:
    void chartReceivedAndSaved();
};

void FaxOnlineTest::chartReceivedAndSaved() {
    if (!LiveStation::SimulatorBuilt()) QSKIP("the simulator program is not built");
    LiveStation s;
    // The whole chart, 100 bands of nearly a kilobyte, at twenty times the
    // air's pace: faster than a 9600-baud line could carry, so the line's
    // pace is off here.
    QVERIFY(s.StartSimulator({"--band", "off", "--air-speed", "20", "--no-line-pace"}));
    // 240 lines a minute, every row kept: a band every 2 s, 100 ms here.
    s.WriteFile("Dervalo-extra.ini", "FaxSpeed=4\r\nFaxAspect=6\r\n");
    THoofdForm& w = s.StartProgram();
    QVERIFY(w.st.HostModeActive);
    const qsizetype before = s.FromProgram().size();

    w.TabBalk->SetPage(w.TabBalk->indexOf(w.FaxPage));
    QVERIFY(w.FaxModeOn());
    QVERIFY(LiveStation::WaitFor(
        [&] {
            return s.FromProgram().mid(before).contains(
                "\x01OPFN\x17\x01OFS4\x17\x01OAY6\x17\x01OFA\x17");
        },
        10000));
    QVERIFY2(LiveStation::WaitFor([&] { return w.Pane1->text() == "FAX"; }, 10000),
             qPrintable(s.StatusText()));

    const pk232sim::FaxChart& chart = pk232sim::FaxChart::Chart();
    const FaxReception& fax = *w.Fax();
    QVERIFY(fax.window->isVisible());
    QVERIFY2(LiveStation::WaitFor([&] { return fax.picture.RowCount() > 0; }, 10000),
             s.State().constData());
    // It grows in the window while it comes, band by band.
    bool grewPartly = false;
    QVERIFY2(LiveStation::WaitFor(
                 [&] {
                     const int rows = fax.picture.RowCount();
                     grewPartly |= rows > 0 && rows < pk232sim::FaxChart::kHeight &&
                                   fax.window->Canvas->DrawnRows() == TFaxCanvas::ShownRows(rows);
                     return rows == pk232sim::FaxChart::kHeight;
                 },
                 180000), // a loaded machine under the sanitizers reads slowly
             qPrintable(QString::number(fax.picture.RowCount())));
    QVERIFY(grewPartly);
    QVERIFY(!w.ReceiveWindow->toPlainText().contains(QChar(0x1B)));

    // The mode changes: the picture is saved whole, named by its start.
    const QString name = FaxPicture::FileName(fax.picture.Started());
    const qsizetype sent = s.FromProgram().size();
    w.TabBalk->SetPage(0);
    QVERIFY(!w.FaxModeOn());
    QVERIFY(LiveStation::WaitFor(
        [&] { return s.FromProgram().mid(sent).contains("\x01OPt\x17"); }, 10000));
    QVERIFY(QDir(s.Path("fax")).exists());
    QImage saved(s.Path(name));
    QCOMPARE(saved.size(), QSize(pk232sim::FaxChart::kWidth, pk232sim::FaxChart::kHeight));
    int differences = 0, black = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const bool dot = saved.pixelIndex(x, y) != 0 && saved.pixelColor(x, y) == Qt::black;
            black += dot;
            differences += dot != chart.Black(x, y);
        }
    QCOMPARE(differences, 0);
    QVERIFY(black > 10000); // a chart, not a blank page
}

QTEST_MAIN(FaxOnlineTest)
#include "tst_faxonline.moc"
