#include "editor/truescaledialog.h"

#include "app/numberspinbox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

TrueScaleDialog::TrueScaleDialog(const TrueScale &scale, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("trueScaleDialog"));
    setWindowTitle(QStringLiteral("Scala reale"));
    setModal(true);

    m_millimetres = new app::NumberSpinBox(this);
    m_millimetres->setObjectName(QStringLiteral("millimetresPerUnit"));
    m_millimetres->setRange(smallestMillimetresPerUnit, largestMillimetresPerUnit);
    m_millimetres->setSuffix(QStringLiteral(" mm"));
    m_millimetres->setValue(scale.millimetresPerUnit);

    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("paper"));
    for (QPageSize::PageSizeId paper : paperSizes())
        m_paper->addItem(QPageSize::name(paper), QVariant::fromValue(paper));
    m_paper->setCurrentIndex(std::max(0, m_paper->findData(QVariant::fromValue(scale.paper))));

    m_overlap = new app::NumberSpinBox(this);
    m_overlap->setObjectName(QStringLiteral("overlap"));
    m_overlap->setRange(0, largestOverlap);
    m_overlap->setSuffix(QStringLiteral(" mm"));
    m_overlap->setValue(scale.overlap);

    m_offset = new app::NumberSpinBox(this);
    m_offset->setObjectName(QStringLiteral("offsetMillimetres"));
    m_offset->setRange(0, largestOffset);
    m_offset->setSuffix(QStringLiteral(" mm"));
    m_offset->setSingleStep(0.1);
    m_offset->setValue(scale.offsetMillimetres);

    m_offsetSide = new QComboBox(this);
    m_offsetSide->setObjectName(QStringLiteral("offsetSide"));
    m_offsetSide->addItem(QStringLiteral("A sinistra della curva, da A verso E"),
                          int(OffsetSide::Left));
    m_offsetSide->addItem(QStringLiteral("A destra della curva, da A verso E"),
                          int(OffsetSide::Right));
    m_offsetSide->addItem(QStringLiteral("Da entrambi i lati"), int(OffsetSide::Both));
    m_offsetSide->setCurrentIndex(std::max(0, m_offsetSide->findData(int(scale.offsetSide))));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Millimetri per unità:"), m_millimetres);
    form->addRow(QStringLiteral("&Formato della carta:"), m_paper);
    form->addRow(QStringLiteral("&Sovrapposizione dei fogli:"), m_overlap);
    form->addRow(QStringLiteral("Distanza del m&argine:"), m_offset);
    form->addRow(QStringLiteral("&Lato del margine:"), m_offsetSide);

    auto *note = new QLabel(QStringLiteral(
        "Un'unità del piano della curva misura questi millimetri sulla carta stampata e nei "
        "file PDF, DXF e SVG. Una curva più grande del foglio si stampa su più fogli, che si "
        "sovrappongono di tanto quanto indicato qui. La linea di margine (un margine di "
        "cucitura, lo spessore del taglio) corre accanto alla curva a questa distanza; 0 per "
        "nessuna."));
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    // A few values: the dialog keeps the size they need, the note wrapped to a comfortable width.
    note->setMinimumWidth(form->sizeHint().width() + 120);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_millimetres->setFocus();
    m_millimetres->selectAll();
}

void TrueScaleDialog::accept()
{
    for (app::NumberSpinBox *box : {m_millimetres, m_overlap, m_offset}) {
        if (!box->takeText()) {
            box->setFocus();
            return;
        }
    }
    QDialog::accept();
}

TrueScale TrueScaleDialog::trueScale() const
{
    // A number still being typed counts, however the dialog was accepted.
    m_millimetres->interpretText();
    m_overlap->interpretText();
    m_offset->interpretText();
    return TrueScale{.millimetresPerUnit = m_millimetres->value(),
                     .paper = m_paper->currentData().value<QPageSize::PageSizeId>(),
                     .overlap = m_overlap->value(),
                     .offsetMillimetres = m_offset->value(),
                     .offsetSide = OffsetSide(m_offsetSide->currentData().toInt())};
}
