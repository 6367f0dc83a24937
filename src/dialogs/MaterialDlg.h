// CMaterialDlg: the colour and material dialog of one layer: colour through the colour chooser
// with a swatch, transparency and reflection 0..255, and the POV-Ray texture text.
#pragma once

#include "model/MaterialSettings.h"

#include <QDialog>

class CColorSwatch;
class CSpinEdit;
class QComboBox;
class QPushButton;

class CMaterialDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMaterialDlg(const CMaterialSettings& settings, QWidget* parent = nullptr);

    // What the dialog holds: the colour as picked so far; the other values as confirmed by OK.
    const CMaterialSettings& Settings() const { return m_settings; }

    // Opens the dialog for layer `layerIndex` and stores its values into the layer on OK.
    // Returns whether OK closed it.
    static bool EditLayer(QWidget* parent, int layerIndex);

public slots:
    // OK: refuses a transparency or reflection that is not a whole number 0..255 (a message,
    // the focus on the field, the dialog stays open); otherwise takes the fields and closes.
    void accept() override;

private:
    void OnChooseColor();

    CMaterialSettings m_settings;
    std::string m_shownTexture;  // the bytes the texture field was filled from
    CColorSwatch* m_swatch;
    CSpinEdit* m_transparency;
    CSpinEdit* m_reflection;
    QComboBox* m_texture;
};
