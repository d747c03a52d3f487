#include "recoverydialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

RecoveryDialog::Responder& responder()
{
    static RecoveryDialog::Responder instance;
    return instance;
}

} // namespace

RecoveryDialog::RecoveryDialog(const QList<RecoveryCopy>& copies, QWidget* parent)
    : QDialog(parent), tree(new QTreeWidget(this))
{
    setWindowTitle(tr("Recover Documents"));
    auto* label = new QLabel(tr("QuorStudio did not end normally. These documents had unsaved "
                                "changes when it stopped:"),
                             this);
    label->setWordWrap(true);

    tree->setRootIsDecorated(false);
    tree->setHeaderLabels({tr("Document"), tr("Time"), tr("First line")});
    for (const RecoveryCopy& copy : copies) {
        auto* item = new QTreeWidgetItem(
            tree, {QFileInfo(copy.fileName).fileName(),
                   QLocale().toString(copy.time.toLocalTime(), QLocale::ShortFormat),
                   firstLine(copy.text)});
        item->setToolTip(0, QDir::toNativeSeparators(copy.fileName));
    }
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(this);
    const std::pair<Choice, QPushButton*> choices[] = {
        {Restore, buttons->addButton(tr("Restore"), QDialogButtonBox::AcceptRole)},
        {Discard, buttons->addButton(tr("Discard"), QDialogButtonBox::DestructiveRole)},
        {Later, buttons->addButton(tr("Later"), QDialogButtonBox::RejectRole)}};
    for (const auto& [choice, button] : choices) {
        connect(button, &QPushButton::clicked, this, [this, choice = choice] {
            chosen = choice;
            done(choice == Later ? Rejected : Accepted);
        });
    }
    choices[0].second->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(tree);
    layout->addWidget(buttons);
    resize(560, 260);
}

RecoveryDialog::Choice RecoveryDialog::ask(const QList<RecoveryCopy>& copies, QWidget* parent)
{
    if (responder())
        return responder()(copies);
    RecoveryDialog dialog(copies, parent);
    dialog.exec();
    return dialog.choice();
}

void RecoveryDialog::setResponder(Responder responder)
{
    ::responder() = std::move(responder);
}
