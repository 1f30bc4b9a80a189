#include "app/CommandPrompts.h"

#include "res/Resource.h"

#include <QCoreApplication>


using namespace Resource;

namespace {

const CommandPrompt Prompts[] = {
    // File, Edit, View and Help.
    {ID_FILE_NEW, QT_TRANSLATE_NOOP("CommandPrompts", "建立新文件"), QT_TRANSLATE_NOOP("CommandPrompts", "開新檔案")},
    {ID_FILE_OPEN, QT_TRANSLATE_NOOP("CommandPrompts", "開啟現有文件"), QT_TRANSLATE_NOOP("CommandPrompts", "開啟舊檔")},
    {ID_FILE_REPLACE_IMAGE, QT_TRANSLATE_NOOP("CommandPrompts", "以另一個影像取代平面的影像，保留所有設定"), QT_TRANSLATE_NOOP("CommandPrompts", "取代影像")},
    {ID_FILE_SAVE, QT_TRANSLATE_NOOP("CommandPrompts", "儲存使用中文件"), QT_TRANSLATE_NOOP("CommandPrompts", "儲存檔案")},
    {ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("CommandPrompts", "使用新名稱儲存使用中文件"), QT_TRANSLATE_NOOP("CommandPrompts", "另存新檔")},
    {ID_FILE_EXPORT_IMAGE, QT_TRANSLATE_NOOP("CommandPrompts", "將平面存成 PNG 影像"), QT_TRANSLATE_NOOP("CommandPrompts", "匯出影像")},
    {ID_FILE_PRINT, QT_TRANSLATE_NOOP("CommandPrompts", "列印使用中文件"), QT_TRANSLATE_NOOP("CommandPrompts", "列印")},
    {ID_FILE_PRINT_PREVIEW, QT_TRANSLATE_NOOP("CommandPrompts", "以全頁顯示"), QT_TRANSLATE_NOOP("CommandPrompts", "預覽列印")},
    {ID_FILE_PRINT_SETUP, QT_TRANSLATE_NOOP("CommandPrompts", "變更印表機和列印選項"), QT_TRANSLATE_NOOP("CommandPrompts", "列印設定")},
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("CommandPrompts", "結束應用程式; 提示使用者儲存文件"), QT_TRANSLATE_NOOP("CommandPrompts", "結束")},
    {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("CommandPrompts", "復原上一個動作"), QT_TRANSLATE_NOOP("CommandPrompts", "復原")},
    {ID_EDIT_REDO, QT_TRANSLATE_NOOP("CommandPrompts", "取消復原上一個動作"), QT_TRANSLATE_NOOP("CommandPrompts", "取消復原")},
    {ID_EDIT_CUT, QT_TRANSLATE_NOOP("CommandPrompts", "剪下選取範圍並將它放到剪貼簿上"), QT_TRANSLATE_NOOP("CommandPrompts", "剪下")},
    {ID_EDIT_COPY, QT_TRANSLATE_NOOP("CommandPrompts", "將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿"), QT_TRANSLATE_NOOP("CommandPrompts", "複製")},
    {ID_EDIT_PASTE, QT_TRANSLATE_NOOP("CommandPrompts", "套用剪貼簿中的平面設定 (影像不變)"), QT_TRANSLATE_NOOP("CommandPrompts", "貼上")},
    {ID_EDIT_COPY_SHADER, QT_TRANSLATE_NOOP("CommandPrompts", "將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿"), QT_TRANSLATE_NOOP("CommandPrompts", "Copy as shader code")},
    {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏工具列"), QT_TRANSLATE_NOOP("CommandPrompts", "切換工具列")},
    {ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏狀態列"), QT_TRANSLATE_NOOP("CommandPrompts", "切換狀態列")},
    {ID_VIEW_VIEWBAR, QT_TRANSLATE_NOOP("CommandPrompts", "隱藏或顯示檢視列"), QT_TRANSLATE_NOOP("CommandPrompts", "切換檢視列")},
    {ID_VIEW_PROPERTY_WINDOW, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏屬性視窗"), QT_TRANSLATE_NOOP("CommandPrompts", "切換屬性視窗")},
    {ID_VIEW_FLAGS_WINDOW, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏旗標視窗"), QT_TRANSLATE_NOOP("CommandPrompts", "切換旗標視窗")},
    {ID_VIEW_COLORS_WINDOW, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏色彩視窗"), QT_TRANSLATE_NOOP("CommandPrompts", "切換色彩視窗")},
    {ID_PIXEL_PROBE, QT_TRANSLATE_NOOP("CommandPrompts", "顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)"), QT_TRANSLATE_NOOP("CommandPrompts", "像素探針")},
    {ID_PERSPECTIVE_TEXTURE, QT_TRANSLATE_NOOP("CommandPrompts", "以投影紋理座標繪製, 使影像的直線保持筆直"), QT_TRANSLATE_NOOP("CommandPrompts", "透視校正貼圖")},
    {ID_VIEW_FIT, QT_TRANSLATE_NOOP("CommandPrompts", "縮放並捲動檢視以顯示整個平面"), QT_TRANSLATE_NOOP("CommandPrompts", "調整至視窗大小")},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CommandPrompts", "顯示程式資訊、版本號碼及著作權"), QT_TRANSLATE_NOOP("CommandPrompts", "關於")},
    {ID_HELP_GUIDE, QT_TRANSLATE_NOOP("CommandPrompts", "開啟使用者指南"), QT_TRANSLATE_NOOP("CommandPrompts", "使用者指南")},

    // The view bar.
    {ID_SHOW_AXES, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏座標軸"), QT_TRANSLATE_NOOP("CommandPrompts", "座標軸")},
    {ID_SHOW_HANDLES, QT_TRANSLATE_NOOP("CommandPrompts", "顯示或隱藏外框與控制點"), QT_TRANSLATE_NOOP("CommandPrompts", "外框與控制點")},
    {ID_ZOOM_IN, QT_TRANSLATE_NOOP("CommandPrompts", "放大檢視"), QT_TRANSLATE_NOOP("CommandPrompts", "放大")},
    {ID_ZOOM_OUT, QT_TRANSLATE_NOOP("CommandPrompts", "縮小檢視"), QT_TRANSLATE_NOOP("CommandPrompts", "縮小")},
    {ID_ZOOM_100, QT_TRANSLATE_NOOP("CommandPrompts", "以原始大小檢視"), QT_TRANSLATE_NOOP("CommandPrompts", "原始大小")},
    {IDC_ZOOM_EDIT, QT_TRANSLATE_NOOP("CommandPrompts", "檢視的縮放比例 (百分比)"), QT_TRANSLATE_NOOP("CommandPrompts", "縮放比例")},

    // The point bar.
    {ID_POINT_FULL, QT_TRANSLATE_NOOP("CommandPrompts", "將四個角點還原為預設位置"), QT_TRANSLATE_NOOP("CommandPrompts", "還原角點")},
    {ID_POINT_NONE, QT_TRANSLATE_NOOP("CommandPrompts", "不選取任何角點 (Esc)"), QT_TRANSLATE_NOOP("CommandPrompts", "不選取角點")},
    {ID_POINT_0, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點 0 (0)"), QT_TRANSLATE_NOOP("CommandPrompts", "角點 0")},
    {ID_POINT_1, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點 1 (1)"), QT_TRANSLATE_NOOP("CommandPrompts", "角點 1")},
    {ID_POINT_2, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點 2 (2)"), QT_TRANSLATE_NOOP("CommandPrompts", "角點 2")},
    {ID_POINT_3, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點 3 (3)"), QT_TRANSLATE_NOOP("CommandPrompts", "角點 3")},
    {IDC_X_EDIT, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點的 X 座標"), QT_TRANSLATE_NOOP("CommandPrompts", "X 座標")},
    {IDC_Y_EDIT, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點的 Y 座標"), QT_TRANSLATE_NOOP("CommandPrompts", "Y 座標")},
    {IDC_Z_EDIT, QT_TRANSLATE_NOOP("CommandPrompts", "選取角點的 Z 座標"), QT_TRANSLATE_NOOP("CommandPrompts", "Z 座標")},
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

QString CommandPrompts::Status(const CommandPrompt &prompt)
{
    return QCoreApplication::translate("CommandPrompts", prompt.status);
}

QString CommandPrompts::Tip(const CommandPrompt &prompt)
{
    return QCoreApplication::translate("CommandPrompts", prompt.tip);
}

QString CommandPrompts::IdleText()
{
    return QCoreApplication::translate("CommandPrompts", "就緒");
}
