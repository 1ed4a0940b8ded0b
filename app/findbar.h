#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace pennacle {

// The find bar below the contact list: a text box and the count of shown contacts. It only
// reports keys; the window decides what they do.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* textBox() const { return text_; }
    void showCounts(qsizetype shown, qsizetype total);
    // Escape in the watched widget closes the bar too.
    void watchForEscape(QWidget* widget);

signals:
    void queryChanged(const QString& text);
    void firstMatchPicked();  // Enter
    void listEntered();       // Down
    void closeRequested();    // Escape

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* text_ = nullptr;
    QLabel* count_ = nullptr;
};

// "12 of 100,000": thousands grouped with commas whatever the locale.
QString findCountText(qsizetype shown, qsizetype total);
// "1,234 contacts", "1 contact".
QString contactCountText(qsizetype count);

}  // namespace pennacle
