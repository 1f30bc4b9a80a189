#include "app/CommandPrompts.h"

#include "res/Resource.h"


using namespace Resource;

namespace {

const CommandPrompt Prompts[] = {
    // File, Edit, View and Help.
    {ID_FILE_NEW, "建立新文件", "開新檔案"},
    {ID_FILE_OPEN, "開啟現有文件", "開啟舊檔"},
    {ID_FILE_REPLACE_IMAGE, "以另一個影像取代平面的影像，保留所有設定", "取代影像"},
    {ID_FILE_SAVE, "儲存使用中文件", "儲存檔案"},
    {ID_FILE_SAVE_AS, "使用新名稱儲存使用中文件", "另存新檔"},
    {ID_FILE_EXPORT_IMAGE, "將平面存成 PNG 影像", "匯出影像"},
    {ID_FILE_PRINT, "列印使用中文件", "列印"},
    {ID_FILE_PRINT_PREVIEW, "以全頁顯示", "預覽列印"},
    {ID_FILE_PRINT_SETUP, "變更印表機和列印選項", "列印設定"},
    {ID_APP_EXIT, "結束應用程式; 提示使用者儲存文件", "結束"},
    {ID_EDIT_UNDO, "復原上一個動作", "復原"},
    {ID_EDIT_REDO, "取消復原上一個動作", "取消復原"},
    {ID_EDIT_CUT, "剪下選取範圍並將它放到剪貼簿上", "剪下"},
    {ID_EDIT_COPY, "將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿", "複製"},
    {ID_EDIT_PASTE, "套用剪貼簿中的平面設定 (影像不變)", "貼上"},
    {ID_EDIT_COPY_SHADER, "將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿", "Copy as shader code"},
    {ID_VIEW_TOOLBAR, "顯示或隱藏工具列", "切換工具列"},
    {ID_VIEW_STATUS_BAR, "顯示或隱藏狀態列", "切換狀態列"},
    {ID_VIEW_VIEWBAR, "隱藏或顯示檢視列", "切換檢視列"},
    {ID_VIEW_PROPERTY_WINDOW, "顯示或隱藏屬性視窗", "切換屬性視窗"},
    {ID_VIEW_FLAGS_WINDOW, "顯示或隱藏旗標視窗", "切換旗標視窗"},
    {ID_VIEW_COLORS_WINDOW, "顯示或隱藏色彩視窗", "切換色彩視窗"},
    {ID_PIXEL_PROBE, "顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)", "像素探針"},
    {ID_PERSPECTIVE_TEXTURE, "以投影紋理座標繪製, 使影像的直線保持筆直", "透視校正貼圖"},
    {ID_VIEW_FIT, "縮放並捲動檢視以顯示整個平面", "調整至視窗大小"},
    {ID_APP_ABOUT, "顯示程式資訊、版本號碼及著作權", "關於"},
    {ID_HELP_GUIDE, "開啟使用者指南", "使用者指南"},

    // The view bar.
    {ID_SHOW_AXES, "顯示或隱藏座標軸", "座標軸"},
    {ID_SHOW_HANDLES, "顯示或隱藏外框與控制點", "外框與控制點"},
    {ID_ZOOM_IN, "放大檢視", "放大"},
    {ID_ZOOM_OUT, "縮小檢視", "縮小"},
    {ID_ZOOM_100, "以原始大小檢視", "原始大小"},
    {IDC_ZOOM_EDIT, "檢視的縮放比例 (百分比)", "縮放比例"},

    // The point bar.
    {ID_POINT_FULL, "將四個角點還原為預設位置", "還原角點"},
    {ID_POINT_NONE, "不選取任何角點 (Esc)", "不選取角點"},
    {ID_POINT_0, "選取角點 0 (0)", "角點 0"},
    {ID_POINT_1, "選取角點 1 (1)", "角點 1"},
    {ID_POINT_2, "選取角點 2 (2)", "角點 2"},
    {ID_POINT_3, "選取角點 3 (3)", "角點 3"},
    {IDC_X_EDIT, "選取角點的 X 座標", "X 座標"},
    {IDC_Y_EDIT, "選取角點的 Y 座標", "Y 座標"},
    {IDC_Z_EDIT, "選取角點的 Z 座標", "Z 座標"},
};

} // namespace

const CommandPrompt *CommandPrompts::Find(int commandId)
{
    for (const CommandPrompt &prompt : Prompts) {
        if (prompt.commandId == commandId)
            return &prompt;
    }
    return nullptr;
}
