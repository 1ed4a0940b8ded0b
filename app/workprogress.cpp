#include "app/workprogress.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace pennacle {

WorkProgress::WorkProgress(QWidget* owner, QString label, std::chrono::milliseconds delay)
    : owner_(owner), label_(std::move(label)), delay_(delay) {
    clock_.start();
}

WorkProgress::~WorkProgress() = default;

bool WorkProgress::update(qsizetype done, qsizetype total) {
    if (canceled_)
        return false;
    if (!dialog_) {
        if (clock_.elapsed() < delay_.count())
            return true;
        open();
    }
    // Painting and the user's clicks need the event loop, a few times a second suffices.
    const qint64 now = clock_.elapsed();
    if (now - eventsAt_ >= kEventsInterval) {
        eventsAt_ = now;
        bar_->setValue(total > 0 ? static_cast<int>(done * 100 / total) : 0);
        QCoreApplication::processEvents();
    }
    return !canceled_;
}

void WorkProgress::open() {
    dialog_ = std::make_unique<QDialog>(
        owner_, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog_->setObjectName(QStringLiteral("WorkProgress"));
    dialog_->setWindowTitle(owner_->window()->windowTitle());
    dialog_->setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(dialog_.get());
    layout->addWidget(new QLabel(label_));
    bar_ = new QProgressBar;
    bar_->setRange(0, 100);
    bar_->setMinimumWidth(300);
    layout->addWidget(bar_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    // Escape, the close box and Cancel all reject the dialog.
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog_.get(), &QDialog::reject);
    QObject::connect(dialog_.get(), &QDialog::rejected, [this] { canceled_ = true; });
    dialog_->show();
    eventsAt_ = clock_.elapsed() - kEventsInterval;
}

}  // namespace pennacle
