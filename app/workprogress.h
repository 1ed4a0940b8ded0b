#pragma once

#include "app/flowcontext.h"

#include <QElapsedTimer>

#include <chrono>
#include <memory>

class QDialog;
class QProgressBar;
class QWidget;

namespace pennacle {

// Appears only when the work has run for a while, so short imports and saves stay quiet. It
// appears and takes events only from the work's own progress calls, never from a timer: a
// failure report that the work shows meanwhile is never covered or blocked by it.
class WorkProgress : public Progress {
public:
    WorkProgress(QWidget* owner, QString label, std::chrono::milliseconds delay);
    ~WorkProgress() override;

    // False once the user has cancelled (the button, Escape or the close box).
    bool update(qsizetype done, qsizetype total) override;

private:
    static constexpr qint64 kEventsInterval = 40;  // ms

    void open();

    QWidget* owner_;
    QString label_;
    std::chrono::milliseconds delay_;
    QElapsedTimer clock_;
    qint64 eventsAt_ = 0;
    std::unique_ptr<QDialog> dialog_;
    QProgressBar* bar_ = nullptr;
    bool canceled_ = false;
};

}  // namespace pennacle
