#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class FaxPicture;

// The picture as it is drawn: a dot across is a pixel, a row down 5/3 of
// one (120 dots an inch across, 72 down), black on white or, inverted,
// white on black. Rows are added as the bands arrive; each addition copies
// only the new rows and repaints only their strip.
class TFaxCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TFaxCanvas(QWidget* parent = nullptr);
    // Drawn rows for `rows` dot rows: 5/3 of them, rounded.
    static int ShownRows(int rows) { return (rows * 5 + 1) / 3; }
    // Starts afresh at the picture's width, with nothing drawn.
    void Clear(int width);
    // Draws the picture's rows from `from` on.
    void AddRows(const FaxPicture& picture, int from);
    void SetInverted(bool inverted);
    bool Inverted() const { return inverted_; }
    int DrawnRows() const { return drawn_; }
    // What the window shows: the drawn rows as an image.
    QImage Drawn() const { return shown_.copy(0, 0, shown_.width(), qMax(1, drawn_)); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetColours();
    QImage shown_; // one bit a pixel, room for more rows than are drawn
    int dotRows_ = 0;
    int drawn_ = 0;
    bool inverted_ = false;
};

// The fax window: the picture growing as it comes, scrolled with it while
// the operator looks at its end, "Invert", and "Save fax image…".
class TFaxWindow : public QWidget {
    Q_OBJECT
public:
    explicit TFaxWindow(QWidget* parent = nullptr);

    // A new picture: what was shown goes.
    void NewPicture(int width);
    // The picture has new rows from `from` on.
    void ShowRows(const FaxPicture& picture, int from);
    void SetStatus(const QString& text);

    TFaxCanvas* Canvas = nullptr;
    QScrollArea* Scroller = nullptr;
    QCheckBox* Invert = nullptr;
    QPushButton* SaveImage = nullptr;
    QLabel* Status = nullptr;

    std::function<void()> OnSave;
};
