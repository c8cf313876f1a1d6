// The colour dialog: the 255 colours of the colour index palette, ByLayer and ByBlock.
#pragma once

#include "platform/ui/KvUiDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class KvUiColorDialog : public KvUiDialog {
    Q_OBJECT
public:
    // `colorIndex`: the colour shown at the start (0 ByBlock, 1..255, 256 ByLayer); `allowMetaColor`:
    // ByLayer and ByBlock may be chosen; `layerColor`: the colour index ByLayer stands for.
    KvUiColorDialog(int colorIndex, bool allowMetaColor, int layerColor, QWidget* parent = nullptr);

    // The chosen colour index.
    int GetColorIndex() const { return m_index; }
    // Chooses a colour as a click on its swatch (or on ByLayer / ByBlock) does; false when the index is
    // out of range or a meta colour is not allowed.
    bool ChooseIndex(int colorIndex);
    bool IsMetaColorAllowed() const { return m_allowMeta; }
    // The swatch of a palette index 1..255, or null.
    QPushButton* GetSwatch(int colorIndex) const;

    bool OnInitDialog() override;
    void OnOK() override;

private:
    void ShowChoice();

    int m_index;
    bool m_allowMeta;
    int m_layerColor;
    QPushButton* m_swatches[256] = {};
    QPushButton* m_byLayer = nullptr;
    QPushButton* m_byBlock = nullptr;
    QLabel* m_preview = nullptr;
    QLineEdit* m_edit = nullptr;
};
