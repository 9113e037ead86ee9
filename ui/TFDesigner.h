#pragma once

#include <QDialog>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "stock/Design.h"
#include "texts/Texts.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QUndoStack;
class QVBoxLayout;

namespace cardmill {

class DesignCanvas;

// The designer: a design at scale on its label, with the first QSOs of the user's log in it. Elements are
// chosen with the mouse, moved and resized with it (snapping to the other elements' edges) or with the arrow
// keys in 0.5 mm steps (Shift: resized), and changed in the property pane; every change can be undone. A flow
// design (the built-in label) is opened laid out on the label, as the labels show it, and saved as a design of
// its own.
class TFDesigner : public QDialog {
    Q_OBJECT

public:
    // The label the design is shown on; the QSOs per label and the own call the labels have; the log whose first
    // QSOs fill it (none: sample values).
    struct Target {
        double width = 99.1, height = 38.1; // mm
        int qsos = 1;
        std::string ownCall;
        std::filesystem::path log;
    };

    // Opens `design`: a built-in design's name or a design file. Throws DesignError when it cannot be read.
    TFDesigner(const std::string& design, const Target& target, Language language, QWidget* parent);
    ~TFDesigner() override;

    const Design& design() const { return m_design; }
    // The file the design was opened from or saved as; empty while it is a built-in design not saved yet.
    const std::filesystem::path& file() const { return m_file; }
    // What the sheet's design choice should now hold: the file when there is one, else the built-in name.
    std::string choice() const;

    // The selected element of the QSO face; none when none is.
    std::optional<std::size_t> selected() const { return m_selected; }
    void select(std::optional<std::size_t> element);
    // Moves (or resizes) the selected element by millimetres: one step to undo.
    void moveSelected(double dx, double dy);
    void resizeSelected(double dw, double dh);
    // Puts a changed design in place as one step to undo.
    void change(const Design& next);

    // Saves to the file, or asks for one when there is none; false when not saved.
    bool save();
    bool saveAs();
    void open();
    void startFrom(const std::string& builtIn);
    QUndoStack& undoStack() const { return *m_undo; }
    bool changed() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void build();
    void buildPane(QFormLayout* form);
    void buildColumns(QVBoxLayout* pane);
    void load(Design design, std::filesystem::path file);
    void showDesign(); // after every change: the canvas and the pane
    void showPane();
    void paneEdited();
    void columnsEdited();
    void addText();
    void deleteSelected();
    void setTitle();
    bool writeTo(const std::filesystem::path& file);
    std::string text(WindowText id) const { return textFor(id, m_language); }

    Target m_target;
    Language m_language;
    Design m_design;
    std::string m_builtIn; // the built-in design it started from, while it has no file
    std::filesystem::path m_file;
    std::optional<std::size_t> m_selected;
    bool m_showing = false; // the pane is being filled: its edits are no changes
    QUndoStack* m_undo;
    int m_cleanIndex = 0;

    DesignCanvas* m_canvas;
    QLabel* m_problem;
    QComboBox* m_startFrom;
    QLineEdit* m_text;
    QLineEdit* m_onlyWith;
    QLineEdit* m_family;
    QDoubleSpinBox* m_size;
    QCheckBox* m_bold;
    QCheckBox* m_italic;
    QComboBox* m_align;
    QDoubleSpinBox* m_x;
    QDoubleSpinBox* m_y;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_height;
    QTableWidget* m_columns;
    QPushButton* m_addColumn;
    QPushButton* m_removeColumn;
    QLabel* m_hint;
};

} // namespace cardmill
