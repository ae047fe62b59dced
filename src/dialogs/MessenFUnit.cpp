#include "dialogs/MessenFUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include "dialogs/fields.h"
#include "i18n/translateforms.h"

namespace vestrel {

TMessenForm::TMessenForm(QWidget* parent) : QDialog(parent) {
  QFormLayout* form = DialogForm(this, "Messen", "MessenForm");
  ErgebnisLabel = new QLabel(this);
  ErgebnisLabel->setObjectName("ErgebnisLabel");
  ErgebnisLabel->setProperty(kNotTranslated, true);  // the result, put into the language before
  ErgebnisLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(ErgebnisLabel);
  QPushButton* copy = DialogButtons(this, form, false)->addButton("Kopieren", QDialogButtonBox::ActionRole);
  copy->setObjectName("KopierenBtn");
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(ErgebnisLabel->text()); });
}

void TMessenForm::Run(std::string_view text) {
  ErgebnisLabel->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  RunDialog(this);
}

}  // namespace vestrel
