#include "tools/commands.h"

#include "tools/editor.h"

namespace vestrel {

namespace {

bool CanUndo(const Editor& e) { return !e.undos.undos.empty(); }
bool Previewing(const Editor& e) { return e.view.Druckvorschau; }
bool ShowingWeights(const Editor& e) { return e.view.Linienbreitezeigen; }

using E = Editor;
using B = ToolBar;

const Command kCommands[] = {
    {.name = "Datei1", .caption = "Datei"},
    {.menu = "Datei1", .name = "NeueDXFDatei1", .caption = "Neue DXF Datei ", .button = "NewBtn", .bar = B::Main,
     .hint = "Neue DXF Datei ", .icon = Icon::NewFile, .handler = &E::NeueDXFDatei1Click, .shortcut = "Ctrl+N"},
    {.menu = "Datei1", .name = "NeueDXFDateiR12ohneSplineohneEllipseusw1",
     .caption = "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)", .button = "NewR12Btn", .bar = B::Main,
     .hint = "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)", .icon = Icon::NewR12,
     .handler = &E::NeueDXFDateiR12ohneSplineohneEllipseusw1Click},
    {.menu = "Datei1", .name = "ffnen1", .caption = "Öffnen...", .button = "OpenBtn", .bar = B::Main,
     .hint = "Öffnen...", .icon = Icon::Open, .handler = &E::ffnen1Click, .shortcut = "Ctrl+O"},
    {.menu = "Datei1", .name = "Speichern1", .caption = "Speichern", .button = "SaveBtn", .bar = B::Main,
     .hint = "Speichern", .icon = Icon::Save, .handler = &E::Speichern1Click, .shortcut = "Ctrl+S"},
    {.menu = "Datei1", .name = "Speichernunter1", .caption = "Speichern unter...", .handler = &E::Speichernunter1Click},
    {.menu = "Datei1", .name = "Drucken1", .caption = "Drucken...", .button = "PrintBtn", .bar = B::Main,
     .hint = "Drucken", .icon = Icon::Print, .handler = &E::Drucken1Click, .shortcut = "Ctrl+P", .menuGap = true},
    {.menu = "Datei1", .name = "Seiteeinrichten1", .caption = "Seite einrichten...",
     .handler = &E::Seiteeinrichten1Click},
    {.menu = "Datei1", .name = "Druckereinrichten1", .caption = "Drucker einrichten...",
     .handler = &E::Druckereinrichten1Click},
    {.menu = "Datei1", .name = "Beenden1", .caption = "Beenden", .handler = &E::Beenden1Click, .menuGap = true},

    {.name = "Bearbeiten1", .caption = "Bearbeiten"},
    {.menu = "Bearbeiten1", .name = "Rckgngig1", .caption = "Rückgängig", .button = "UndoBtn", .bar = B::Main,
     .hint = "Rückgängig", .icon = Icon::Undo, .handler = &E::Rckgngig1Click, .shortcut = "Ctrl+Z",
     .enabled = CanUndo},
    {.menu = "Bearbeiten1", .name = "AllesAuswhlen1", .caption = "Alles Auswählen", .handler = &E::AllesAuswhlen1Click,
     .shortcut = "Ctrl+A", .menuGap = true},
    {.menu = "Bearbeiten1", .name = "Nichtsauswhlen1", .caption = "Nichts auswählen",
     .handler = &E::Nichtsauswhlen1Click},

    {.name = "Ansicht1", .caption = "Ansicht"},
    {.menu = "Ansicht1", .name = "Alleszeigen1", .caption = "Alles zeigen", .button = "ZoomAll", .bar = B::Main,
     .hint = "Zeige alles", .icon = Icon::ZoomAll, .handler = &E::ZoomAllClick, .barGap = true},
    {.menu = "Ansicht1", .name = "Vergrern1", .caption = "Vergrößern", .button = "ZoomInBtn", .bar = B::Main,
     .hint = "Vergrößern", .icon = Icon::ZoomIn, .handler = &E::ZoomInBtnClick, .shortcut = "Ctrl++"},
    {.menu = "Ansicht1", .name = "Verkleinern1", .caption = "Verkleinern", .button = "ZoomOutBtn", .bar = B::Main,
     .hint = "Verkleinern", .icon = Icon::ZoomOut, .handler = &E::ZoomOutBtnClick, .shortcut = "Ctrl+-"},
    {.button = "ZoomBtn", .bar = B::Main, .hint = "Vergrößern/Verkleinern", .icon = Icon::Zoom,
     .handler = &E::ZoomBtnClick},
    {.button = "HandBtn", .bar = B::Main, .hint = "Verschieben", .icon = Icon::Hand, .handler = &E::HandBtnClick},
    {.menu = "Ansicht1", .name = "Druckvorschau1", .caption = "Druckvorschau", .button = "PreviewBtn", .bar = B::Main,
     .hint = "Druckvorschau  an/aus", .icon = Icon::Preview, .handler = &E::Druckvorschau1Click, .menuGap = true,
     .checked = Previewing},
    {.menu = "Ansicht1", .name = "Linienbreitezeigen1", .caption = "Linienbreite zeigen",
     .handler = &E::Linienbreitezeigen1Click, .checked = ShowingWeights},
    {.menu = "Ansicht1", .name = "Viewporthinzufgen1", .caption = "Viewport hinzufügen...",
     .handler = &E::Viewporthinzufgen1Click, .menuGap = true},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace vestrel
