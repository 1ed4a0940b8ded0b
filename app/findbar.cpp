#include "app/findbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace pennacle {

namespace {

QString grouped(qsizetype number) {
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0 && digits[at - 1] != u'-'; at -= 3)
        digits.insert(at, u',');
    return digits;
}

}  // namespace

QString findCountText(qsizetype shown, qsizetype total) {
    return grouped(shown) + QStringLiteral(" of ") + grouped(total);
}

QString contactCountText(qsizetype count) {
    return grouped(count) + (count == 1 ? QStringLiteral(" contact") : QStringLiteral(" contacts"));
}

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FindBar"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("FindText"));
    text_->setPlaceholderText(QStringLiteral("Find: name, e-mail, phone, company or note"));
    text_->setClearButtonEnabled(true);
    text_->setAccessibleName(QStringLiteral("Find"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("FindCount"));
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for "100,000 of 100,000", so the text box keeps its width while counts change.
    count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(findCountText(888888, 888888)));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(text_, 1);
    layout->addWidget(count_);
    connect(text_, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    connect(text_, &QLineEdit::returnPressed, this, &FindBar::firstMatchPicked);
    text_->installEventFilter(this);
}

void FindBar::showCounts(qsizetype shown, qsizetype total) {
    count_->setText(findCountText(shown, total));
}

void FindBar::watchForEscape(QWidget* widget) {
    widget->installEventFilter(this);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || isHidden())
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (key->key() == Qt::Key_Escape && plain) {
        emit closeRequested();
        return true;
    }
    if (watched == text_ && key->key() == Qt::Key_Down && plain) {
        emit listEntered();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pennacle
