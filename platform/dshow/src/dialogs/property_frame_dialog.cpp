#include "property_frame_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <vector>

namespace dshow {
namespace {

using ReadBack = std::vector<std::function<void()>>;

void AddSlider(QFormLayout* form, PageSlider& s, ReadBack* read_back)
{
    const QString label = QString::fromStdWString(s.label);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(label);
    slider->setRange(s.min, s.max);
    slider->setSingleStep(s.step);
    slider->setValue(s.value);
    slider->setEnabled(!s.automatic);
    auto* shown = new QLabel(QString::number(s.value));
    QObject::connect(slider, &QSlider::valueChanged, shown, qOverload<int>(&QLabel::setNum));
    auto* automatic = new QCheckBox(QStringLiteral("auto"));
    automatic->setObjectName(label + QStringLiteral(" auto"));
    automatic->setEnabled(s.can_auto);
    automatic->setChecked(s.automatic);
    QObject::connect(automatic, &QCheckBox::toggled, slider,
                     [slider](bool on) { slider->setEnabled(!on); });
    auto* row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(shown);
    row->addWidget(automatic);
    form->addRow(label, row);
    read_back->push_back([&s, slider, automatic] {
        s.value = slider->value();
        s.automatic = automatic->isChecked();
    });
}

void AddChoice(QFormLayout* form, PageChoice& c, ReadBack* read_back)
{
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromStdWString(c.label));
    for (const std::wstring& option : c.options)
        combo->addItem(QString::fromStdWString(option));
    combo->setCurrentIndex(c.chosen);
    form->addRow(QString::fromStdWString(c.label), combo);
    read_back->push_back([&c, combo] { c.chosen = combo->currentIndex(); });
}

} // namespace

bool RunPropertyFrameDialog(PropertyFrame& frame, int x, int y)
{
    QDialog dialog;
    dialog.setWindowTitle(frame.caption.empty() ? QStringLiteral("Properties")
                                                : QString::fromStdWString(frame.caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* tabs = new QTabWidget;
    layout->addWidget(tabs);
    ReadBack read_back;
    for (PropertyPage& page : frame.pages) {
        auto* widget = new QWidget;
        auto* form = new QFormLayout(widget);
        for (PageSlider& slider : page.sliders)
            AddSlider(form, slider, &read_back);
        for (PageChoice& choice : page.choices)
            AddChoice(form, choice, &read_back);
        tabs->addTab(widget, QString::fromStdWString(page.title));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.move(x, y);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (const std::function<void()>& read : read_back)
        read();
    return true;
}

} // namespace dshow
