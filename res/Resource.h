#pragma once

// Command and control ids. The custom ones come from the tool-bar resources;
// the standard ones are the classic framework ids, kept so that commands and
// field notifications route by number.
namespace Resource {

// Resources
constexpr int IDR_MAINFRAME = 128;
constexpr int IDB_BACKGROUND = 132;
constexpr int IDR_VIEWBAR = 138;
constexpr int IDR_POINTBAR = 140;
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_PROPERTY = 130;
constexpr int IDD_FLAGS = 133;

// View tool bar
constexpr int ID_ZOOM_SLOT = 32773;
constexpr int ID_ZOOM_IN = 32774;
constexpr int ID_ZOOM_OUT = 32775;
constexpr int ID_ZOOM_100 = 32777;
constexpr int ID_SHOW_AXES = 32779;
constexpr int ID_SHOW_HANDLES = 32780;
constexpr int ID_VIEW_VIEWBAR = 32781;

// Point tool bar
constexpr int ID_LABEL_X_SLOT = 32785;
constexpr int ID_EDIT_X_SLOT = 32783;
constexpr int ID_LABEL_Y_SLOT = 32786;
constexpr int ID_EDIT_Y_SLOT = 32787;
constexpr int ID_LABEL_Z_SLOT = 32788;
constexpr int ID_EDIT_Z_SLOT = 32789;
constexpr int ID_POINT_NONE = 32793;
constexpr int ID_POINT_0 = 32795;
constexpr int ID_POINT_1 = 32784;
constexpr int ID_POINT_2 = 32790;
constexpr int ID_POINT_3 = 32791;
constexpr int ID_POINT_FULL = 32796;
constexpr int ID_POINT_SEPARATOR = 32797;

// View menu: the tool windows
constexpr int ID_VIEW_PROPERTY_WINDOW = 32810;
constexpr int ID_VIEW_FLAGS_WINDOW = 32811;
constexpr int ID_VIEW_COLORS_WINDOW = 32812;

// Probe, projective texturing and image export
constexpr int ID_FILE_EXPORT_IMAGE = 32840;
constexpr int ID_PIXEL_PROBE = 32841;
constexpr int ID_PERSPECTIVE_TEXTURE = 32842;

// Edit menu: the surface as shaders for another renderer
constexpr int ID_EDIT_COPY_SHADER = 32850;
// Help menu: the user guide
constexpr int ID_HELP_GUIDE = 32851;
// File menu: another image under the same settings
constexpr int ID_FILE_REPLACE_IMAGE = 32852;

// View menu: fit
constexpr int ID_VIEW_FIT = 32798;

// Fields
constexpr int IDC_ZOOM_EDIT = 1236;
constexpr int IDC_X_EDIT = 1237;
constexpr int IDC_Y_EDIT = 1238;
constexpr int IDC_Z_EDIT = 1239;

// Panels and in-place editors
constexpr int IDC_PROPERTY_LIST = 1002;
constexpr int IDC_FLAGS_LIST = 1009;
constexpr int IDC_INPLACE_EDIT = 4660;
constexpr int IDC_INPLACE_COMBO = 4661;

// Standard commands
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FILE1 = 57616;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_REDO = 57644;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;

// Strings
constexpr const char *AppTitle = "Skimbler";        // 57344
constexpr const char *NewFileName = "Skimbl";
constexpr const char *IdleText = "\u5c31\u7dd2";    // 57345
constexpr const char *RegistryKey = "Local AppWizard-Generated Applications";

} // namespace Resource
