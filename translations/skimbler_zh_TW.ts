<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>CAboutBox</name>
    <message>
        <source>About</source>
        <translation type="vanished">About</translation>
    </message>
    <message>
        <source>Skimbler Version 1.0</source>
        <translation type="vanished">Skimbler Version 1.0</translation>
    </message>
    <message>
        <source>Prepares one textured surface for real-time renderers.</source>
        <translation type="vanished">Prepares one textured surface for real-time renderers.</translation>
    </message>
    <message>
        <source>確定</source>
        <translation type="vanished">確定</translation>
    </message>
</context>
<context>
    <name>CColorsPanel</name>
    <message>
        <source>Colors</source>
        <translation type="vanished">Colors</translation>
    </message>
    <message>
        <source>Corner %1</source>
        <translation type="vanished">Corner %1</translation>
    </message>
    <message>
        <source>變更色彩</source>
        <translation type="vanished">變更色彩</translation>
    </message>
</context>
<context>
    <name>CFlagsPanel</name>
    <message>
        <source>Flags</source>
        <translation type="vanished">Flags</translation>
    </message>
    <message>
        <source>變更旗標</source>
        <translation type="vanished">變更旗標</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>開啟這份文件</source>
        <translation type="vanished">開啟這份文件</translation>
    </message>
    <message>
        <source>復原</source>
        <translation type="vanished">復原</translation>
    </message>
    <message>
        <source>取消復原</source>
        <translation type="vanished">取消復原</translation>
    </message>
    <message>
        <source>開新檔案(&amp;N)</source>
        <translation type="vanished">開新檔案(&amp;N)</translation>
    </message>
    <message>
        <source>開啟舊檔(&amp;O)...</source>
        <translation type="vanished">開啟舊檔(&amp;O)...</translation>
    </message>
    <message>
        <source>儲存檔案(&amp;S)</source>
        <translation type="vanished">儲存檔案(&amp;S)</translation>
    </message>
    <message>
        <source>另存新檔(&amp;A)...</source>
        <translation type="vanished">另存新檔(&amp;A)...</translation>
    </message>
    <message>
        <source>列印(&amp;P)...</source>
        <translation type="vanished">列印(&amp;P)...</translation>
    </message>
    <message>
        <source>預覽列印(&amp;V)</source>
        <translation type="vanished">預覽列印(&amp;V)</translation>
    </message>
    <message>
        <source>列印設定(&amp;R)...</source>
        <translation type="vanished">列印設定(&amp;R)...</translation>
    </message>
    <message>
        <source>最近使用的檔案</source>
        <translation type="vanished">最近使用的檔案</translation>
    </message>
    <message>
        <source>結束(&amp;X)</source>
        <translation type="vanished">結束(&amp;X)</translation>
    </message>
    <message>
        <source>復原(&amp;U)</source>
        <translation type="vanished">復原(&amp;U)</translation>
    </message>
    <message>
        <source>取消復原(&amp;R)</source>
        <translation type="vanished">取消復原(&amp;R)</translation>
    </message>
    <message>
        <source>剪下(&amp;T)</source>
        <translation type="vanished">剪下(&amp;T)</translation>
    </message>
    <message>
        <source>複製(&amp;C)</source>
        <translation type="vanished">複製(&amp;C)</translation>
    </message>
    <message>
        <source>貼上(&amp;P)</source>
        <translation type="vanished">貼上(&amp;P)</translation>
    </message>
    <message>
        <source>工具列(&amp;T)</source>
        <translation type="vanished">工具列(&amp;T)</translation>
    </message>
    <message>
        <source>狀態列(&amp;S)</source>
        <translation type="vanished">狀態列(&amp;S)</translation>
    </message>
    <message>
        <source>檢視列(&amp;V)</source>
        <translation type="vanished">檢視列(&amp;V)</translation>
    </message>
    <message>
        <source>關於 Skimbler(&amp;A)...</source>
        <translation type="vanished">關於 Skimbler(&amp;A)...</translation>
    </message>
    <message>
        <source>使用者指南(&amp;G)</source>
        <translation type="vanished">使用者指南(&amp;G)</translation>
    </message>
    <message>
        <source>匯出影像(&amp;E)...</source>
        <translation type="vanished">匯出影像(&amp;E)...</translation>
    </message>
    <message>
        <source>像素探針(&amp;I)</source>
        <translation type="vanished">像素探針(&amp;I)</translation>
    </message>
    <message>
        <source>透視校正貼圖(&amp;E)</source>
        <translation type="vanished">透視校正貼圖(&amp;E)</translation>
    </message>
    <message>
        <source>Copy as shader code</source>
        <translation type="vanished">Copy as shader code</translation>
    </message>
    <message>
        <source>調整至視窗大小(&amp;W)</source>
        <translation type="vanished">調整至視窗大小(&amp;W)</translation>
    </message>
    <message>
        <source>檔案(&amp;F)</source>
        <translation type="vanished">檔案(&amp;F)</translation>
    </message>
    <message>
        <source>編輯(&amp;E)</source>
        <translation type="vanished">編輯(&amp;E)</translation>
    </message>
    <message>
        <source>檢視(&amp;V)</source>
        <translation type="vanished">檢視(&amp;V)</translation>
    </message>
    <message>
        <source>說明(&amp;H)</source>
        <translation type="vanished">說明(&amp;H)</translation>
    </message>
    <message>
        <source>屬性視窗(&amp;P)</source>
        <translation type="vanished">屬性視窗(&amp;P)</translation>
    </message>
    <message>
        <source>旗標視窗(&amp;F)</source>
        <translation type="vanished">旗標視窗(&amp;F)</translation>
    </message>
    <message>
        <source>色彩視窗(&amp;C)</source>
        <translation type="vanished">色彩視窗(&amp;C)</translation>
    </message>
    <message>
        <source>語言(&amp;L)</source>
        <translation type="vanished">語言(&amp;L)</translation>
    </message>
    <message>
        <source>系統預設(&amp;S)</source>
        <translation type="vanished">系統預設(&amp;S)</translation>
    </message>
    <message>
        <source>新的語言將在下次啟動 Skimbler 時套用。</source>
        <translation type="vanished">新的語言將在下次啟動 Skimbler 時套用。</translation>
    </message>
</context>
<context>
    <name>CPropertyList</name>
    <message>
        <source>變更 %1</source>
        <translation type="vanished">變更 %1</translation>
    </message>
</context>
<context>
    <name>CPropertyPanel</name>
    <message>
        <source>Property</source>
        <translation type="vanished">Property</translation>
    </message>
</context>
<context>
    <name>CSkimblerApp</name>
    <message>
        <source>已重新載入 %1</source>
        <translation type="vanished">已重新載入 %1</translation>
    </message>
    <message>
        <source>無法重新載入 %1，仍顯示上一次的影像：%2</source>
        <translation type="vanished">無法重新載入 %1，仍顯示上一次的影像：%2</translation>
    </message>
    <message>
        <source>無法自動備份：%1</source>
        <translation type="vanished">無法自動備份：%1</translation>
    </message>
    <message>
        <source>Failed to ShowToolWindows.</source>
        <translation type="vanished">Failed to ShowToolWindows.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Error</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation type="vanished">Save changes to %1?</translation>
    </message>
</context>
<context>
    <name>CSkimblerDoc</name>
    <message>
        <source>the file does not exist</source>
        <translation type="vanished">the file does not exist</translation>
    </message>
    <message>
        <source>Could not %1 &quot;%2&quot;: %3.</source>
        <translation type="vanished">Could not %1 &quot;%2&quot;: %3.</translation>
    </message>
</context>
<context>
    <name>CSkimblerView</name>
    <message>
        <source>Failed to create GraphicalFramework.</source>
        <translation type="vanished">Failed to create GraphicalFramework.</translation>
    </message>
    <message>
        <source>Failed to create GraphicalInterface.</source>
        <translation type="vanished">Failed to create GraphicalInterface.</translation>
    </message>
    <message>
        <source>拖曳角點</source>
        <translation type="vanished">拖曳角點</translation>
    </message>
    <message>
        <source>拖曳邊</source>
        <translation type="vanished">拖曳邊</translation>
    </message>
    <message>
        <source>移動平面</source>
        <translation type="vanished">移動平面</translation>
    </message>
    <message>
        <source>重設角點</source>
        <translation type="vanished">重設角點</translation>
    </message>
    <message>
        <source>輸入座標</source>
        <translation type="vanished">輸入座標</translation>
    </message>
    <message>
        <source>移動角點</source>
        <translation type="vanished">移動角點</translation>
    </message>
    <message>
        <source>角點 %1</source>
        <translation type="vanished">角點 %1</translation>
    </message>
    <message>
        <source>左邊</source>
        <translation type="vanished">左邊</translation>
    </message>
    <message>
        <source>下邊</source>
        <translation type="vanished">下邊</translation>
    </message>
    <message>
        <source>右邊</source>
        <translation type="vanished">右邊</translation>
    </message>
    <message>
        <source>上邊</source>
        <translation type="vanished">上邊</translation>
    </message>
    <message>
        <source>整個平面</source>
        <translation type="vanished">整個平面</translation>
    </message>
    <message>
        <source>無</source>
        <translation type="vanished">無</translation>
    </message>
    <message>
        <source>X: %1   Y: %2   拖曳: %3   縮放: %4%</source>
        <translation type="vanished">X: %1   Y: %2   拖曳: %3   縮放: %4%</translation>
    </message>
</context>
<context>
    <name>CommandPrompts</name>
    <message>
        <source>建立新文件</source>
        <translation type="vanished">建立新文件</translation>
    </message>
    <message>
        <source>開新檔案</source>
        <translation type="vanished">開新檔案</translation>
    </message>
    <message>
        <source>開啟現有文件</source>
        <translation type="vanished">開啟現有文件</translation>
    </message>
    <message>
        <source>開啟舊檔</source>
        <translation type="vanished">開啟舊檔</translation>
    </message>
    <message>
        <source>儲存使用中文件</source>
        <translation type="vanished">儲存使用中文件</translation>
    </message>
    <message>
        <source>儲存檔案</source>
        <translation type="vanished">儲存檔案</translation>
    </message>
    <message>
        <source>使用新名稱儲存使用中文件</source>
        <translation type="vanished">使用新名稱儲存使用中文件</translation>
    </message>
    <message>
        <source>另存新檔</source>
        <translation type="vanished">另存新檔</translation>
    </message>
    <message>
        <source>將平面存成 PNG 影像</source>
        <translation type="vanished">將平面存成 PNG 影像</translation>
    </message>
    <message>
        <source>匯出影像</source>
        <translation type="vanished">匯出影像</translation>
    </message>
    <message>
        <source>列印使用中文件</source>
        <translation type="vanished">列印使用中文件</translation>
    </message>
    <message>
        <source>列印</source>
        <translation type="vanished">列印</translation>
    </message>
    <message>
        <source>以全頁顯示</source>
        <translation type="vanished">以全頁顯示</translation>
    </message>
    <message>
        <source>預覽列印</source>
        <translation type="vanished">預覽列印</translation>
    </message>
    <message>
        <source>變更印表機和列印選項</source>
        <translation type="vanished">變更印表機和列印選項</translation>
    </message>
    <message>
        <source>列印設定</source>
        <translation type="vanished">列印設定</translation>
    </message>
    <message>
        <source>結束應用程式; 提示使用者儲存文件</source>
        <translation type="vanished">結束應用程式; 提示使用者儲存文件</translation>
    </message>
    <message>
        <source>結束</source>
        <translation type="vanished">結束</translation>
    </message>
    <message>
        <source>復原上一個動作</source>
        <translation type="vanished">復原上一個動作</translation>
    </message>
    <message>
        <source>復原</source>
        <translation type="vanished">復原</translation>
    </message>
    <message>
        <source>取消復原上一個動作</source>
        <translation type="vanished">取消復原上一個動作</translation>
    </message>
    <message>
        <source>取消復原</source>
        <translation type="vanished">取消復原</translation>
    </message>
    <message>
        <source>剪下選取範圍並將它放到剪貼簿上</source>
        <translation type="vanished">剪下選取範圍並將它放到剪貼簿上</translation>
    </message>
    <message>
        <source>剪下</source>
        <translation type="vanished">剪下</translation>
    </message>
    <message>
        <source>將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿</source>
        <translation type="vanished">將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿</translation>
    </message>
    <message>
        <source>複製</source>
        <translation type="vanished">複製</translation>
    </message>
    <message>
        <source>套用剪貼簿中的平面設定 (影像不變)</source>
        <translation type="vanished">套用剪貼簿中的平面設定 (影像不變)</translation>
    </message>
    <message>
        <source>貼上</source>
        <translation type="vanished">貼上</translation>
    </message>
    <message>
        <source>將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿</source>
        <translation type="vanished">將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿</translation>
    </message>
    <message>
        <source>Copy as shader code</source>
        <translation type="vanished">Copy as shader code</translation>
    </message>
    <message>
        <source>顯示或隱藏工具列</source>
        <translation type="vanished">顯示或隱藏工具列</translation>
    </message>
    <message>
        <source>切換工具列</source>
        <translation type="vanished">切換工具列</translation>
    </message>
    <message>
        <source>顯示或隱藏狀態列</source>
        <translation type="vanished">顯示或隱藏狀態列</translation>
    </message>
    <message>
        <source>切換狀態列</source>
        <translation type="vanished">切換狀態列</translation>
    </message>
    <message>
        <source>隱藏或顯示檢視列</source>
        <translation type="vanished">隱藏或顯示檢視列</translation>
    </message>
    <message>
        <source>切換檢視列</source>
        <translation type="vanished">切換檢視列</translation>
    </message>
    <message>
        <source>顯示或隱藏屬性視窗</source>
        <translation type="vanished">顯示或隱藏屬性視窗</translation>
    </message>
    <message>
        <source>切換屬性視窗</source>
        <translation type="vanished">切換屬性視窗</translation>
    </message>
    <message>
        <source>顯示或隱藏旗標視窗</source>
        <translation type="vanished">顯示或隱藏旗標視窗</translation>
    </message>
    <message>
        <source>切換旗標視窗</source>
        <translation type="vanished">切換旗標視窗</translation>
    </message>
    <message>
        <source>顯示或隱藏色彩視窗</source>
        <translation type="vanished">顯示或隱藏色彩視窗</translation>
    </message>
    <message>
        <source>切換色彩視窗</source>
        <translation type="vanished">切換色彩視窗</translation>
    </message>
    <message>
        <source>顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)</source>
        <translation type="vanished">顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)</translation>
    </message>
    <message>
        <source>像素探針</source>
        <translation type="vanished">像素探針</translation>
    </message>
    <message>
        <source>以投影紋理座標繪製, 使影像的直線保持筆直</source>
        <translation type="vanished">以投影紋理座標繪製, 使影像的直線保持筆直</translation>
    </message>
    <message>
        <source>透視校正貼圖</source>
        <translation type="vanished">透視校正貼圖</translation>
    </message>
    <message>
        <source>縮放並捲動檢視以顯示整個平面</source>
        <translation type="vanished">縮放並捲動檢視以顯示整個平面</translation>
    </message>
    <message>
        <source>調整至視窗大小</source>
        <translation type="vanished">調整至視窗大小</translation>
    </message>
    <message>
        <source>顯示程式資訊、版本號碼及著作權</source>
        <translation type="vanished">顯示程式資訊、版本號碼及著作權</translation>
    </message>
    <message>
        <source>關於</source>
        <translation type="vanished">關於</translation>
    </message>
    <message>
        <source>開啟使用者指南</source>
        <translation type="vanished">開啟使用者指南</translation>
    </message>
    <message>
        <source>使用者指南</source>
        <translation type="vanished">使用者指南</translation>
    </message>
    <message>
        <source>顯示或隱藏座標軸</source>
        <translation type="vanished">顯示或隱藏座標軸</translation>
    </message>
    <message>
        <source>座標軸</source>
        <translation type="vanished">座標軸</translation>
    </message>
    <message>
        <source>顯示或隱藏外框與控制點</source>
        <translation type="vanished">顯示或隱藏外框與控制點</translation>
    </message>
    <message>
        <source>外框與控制點</source>
        <translation type="vanished">外框與控制點</translation>
    </message>
    <message>
        <source>放大檢視</source>
        <translation type="vanished">放大檢視</translation>
    </message>
    <message>
        <source>放大</source>
        <translation type="vanished">放大</translation>
    </message>
    <message>
        <source>縮小檢視</source>
        <translation type="vanished">縮小檢視</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation type="vanished">縮小</translation>
    </message>
    <message>
        <source>以原始大小檢視</source>
        <translation type="vanished">以原始大小檢視</translation>
    </message>
    <message>
        <source>原始大小</source>
        <translation type="vanished">原始大小</translation>
    </message>
    <message>
        <source>檢視的縮放比例 (百分比)</source>
        <translation type="vanished">檢視的縮放比例 (百分比)</translation>
    </message>
    <message>
        <source>縮放比例</source>
        <translation type="vanished">縮放比例</translation>
    </message>
    <message>
        <source>將四個角點還原為預設位置</source>
        <translation type="vanished">將四個角點還原為預設位置</translation>
    </message>
    <message>
        <source>還原角點</source>
        <translation type="vanished">還原角點</translation>
    </message>
    <message>
        <source>不選取任何角點 (Esc)</source>
        <translation type="vanished">不選取任何角點 (Esc)</translation>
    </message>
    <message>
        <source>不選取角點</source>
        <translation type="vanished">不選取角點</translation>
    </message>
    <message>
        <source>選取角點 0 (0)</source>
        <translation type="vanished">選取角點 0 (0)</translation>
    </message>
    <message>
        <source>角點 0</source>
        <translation type="vanished">角點 0</translation>
    </message>
    <message>
        <source>選取角點 1 (1)</source>
        <translation type="vanished">選取角點 1 (1)</translation>
    </message>
    <message>
        <source>角點 1</source>
        <translation type="vanished">角點 1</translation>
    </message>
    <message>
        <source>選取角點 2 (2)</source>
        <translation type="vanished">選取角點 2 (2)</translation>
    </message>
    <message>
        <source>角點 2</source>
        <translation type="vanished">角點 2</translation>
    </message>
    <message>
        <source>選取角點 3 (3)</source>
        <translation type="vanished">選取角點 3 (3)</translation>
    </message>
    <message>
        <source>角點 3</source>
        <translation type="vanished">角點 3</translation>
    </message>
    <message>
        <source>選取角點的 X 座標</source>
        <translation type="vanished">選取角點的 X 座標</translation>
    </message>
    <message>
        <source>X 座標</source>
        <translation type="vanished">X 座標</translation>
    </message>
    <message>
        <source>選取角點的 Y 座標</source>
        <translation type="vanished">選取角點的 Y 座標</translation>
    </message>
    <message>
        <source>Y 座標</source>
        <translation type="vanished">Y 座標</translation>
    </message>
    <message>
        <source>選取角點的 Z 座標</source>
        <translation type="vanished">選取角點的 Z 座標</translation>
    </message>
    <message>
        <source>Z 座標</source>
        <translation type="vanished">Z 座標</translation>
    </message>
    <message>
        <source>就緒</source>
        <translation type="vanished">就緒</translation>
    </message>
</context>
<context>
    <name>ExportDrawing</name>
    <message>
        <source>the graphics driver cannot draw a %1 x %2 picture</source>
        <translation type="vanished">the graphics driver cannot draw a %1 x %2 picture</translation>
    </message>
    <message>
        <source>the picture could not be read back</source>
        <translation type="vanished">the picture could not be read back</translation>
    </message>
</context>
<context>
    <name>ExportImage</name>
    <message>
        <source>there is no drawing context</source>
        <translation type="vanished">there is no drawing context</translation>
    </message>
    <message>
        <source>the size must be from 1 to %1 pixels a side</source>
        <translation type="vanished">the size must be from 1 to %1 pixels a side</translation>
    </message>
    <message>
        <source>匯出影像</source>
        <translation type="vanished">匯出影像</translation>
    </message>
    <message>
        <source>檢視大小 (%1 x %2)</source>
        <translation type="vanished">檢視大小 (%1 x %2)</translation>
    </message>
    <message>
        <source>自訂大小</source>
        <translation type="vanished">自訂大小</translation>
    </message>
    <message>
        <source>寬度</source>
        <translation type="vanished">寬度</translation>
    </message>
    <message>
        <source>高度</source>
        <translation type="vanished">高度</translation>
    </message>
    <message>
        <source>含棋盤格背景 (不含時背景透明)</source>
        <translation type="vanished">含棋盤格背景 (不含時背景透明)</translation>
    </message>
</context>
<context>
    <name>ImageReader</name>
    <message>
        <source>file not found</source>
        <translation type="vanished">file not found</translation>
    </message>
    <message>
        <source>the file could not be read</source>
        <translation type="vanished">the file could not be read</translation>
    </message>
    <message>
        <source>unsupported format</source>
        <translation type="vanished">unsupported format</translation>
    </message>
    <message>
        <source>invalid data</source>
        <translation type="vanished">invalid data</translation>
    </message>
    <message>
        <source>not a readable image (%1)</source>
        <translation type="vanished">not a readable image (%1)</translation>
    </message>
    <message>
        <source>the image is %1 x %2 pixels, %3</source>
        <translation type="vanished">the image is %1 x %2 pixels, %3</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>&amp;Save</source>
        <translation type="vanished">&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation type="vanished">&amp;Discard</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation type="vanished">&amp;Recover</translation>
    </message>
    <message>
        <source>&amp;Later</source>
        <translation type="vanished">&amp;Later</translation>
    </message>
</context>
<context>
    <name>PixelProbe</name>
    <message>
        <source>視窗像素 %1, %2</source>
        <translation type="vanished">視窗像素 %1, %2</translation>
    </message>
    <message>
        <source>不在平面上; 背景 %1</source>
        <translation type="vanished">不在平面上; 背景 %1</translation>
    </message>
    <message>
        <source>紋理座標 u %1, v %2</source>
        <translation type="vanished">紋理座標 u %1, v %2</translation>
    </message>
    <message>
        <source>紋素 %1, %2</source>
        <translation type="vanished">紋素 %1, %2</translation>
    </message>
    <message>
        <source> (第 %1 層)</source>
        <translation type="vanished"> (第 %1 層)</translation>
    </message>
    <message>
        <source>紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色</source>
        <translation type="vanished">紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色</translation>
    </message>
    <message>
        <source>取樣 %1 (%2)</source>
        <translation type="vanished">取樣 %1 (%2)</translation>
    </message>
    <message>
        <source>放大</source>
        <translation type="vanished">放大</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation type="vanished">縮小</translation>
    </message>
    <message>
        <source> 不被 OpenGL 接受</source>
        <translation type="vanished"> 不被 OpenGL 接受</translation>
    </message>
    <message>
        <source>角點顏色內插  RGBA %1</source>
        <translation type="vanished">角點顏色內插  RGBA %1</translation>
    </message>
    <message>
        <source>來源 = 取樣 x 角點顏色  RGBA %1</source>
        <translation type="vanished">來源 = 取樣 x 角點顏色  RGBA %1</translation>
    </message>
    <message>
        <source>混合 %1 x %2 + %3 x %4</source>
        <translation type="vanished">混合 %1 x %2 + %3 x %4</translation>
    </message>
    <message>
        <source>來源</source>
        <translation type="vanished">來源</translation>
    </message>
    <message>
        <source>目的</source>
        <translation type="vanished">目的</translation>
    </message>
    <message>
        <source> 不被 OpenGL 接受, 沿用 GL_ONE x GL_ZERO</source>
        <translation type="vanished"> 不被 OpenGL 接受, 沿用 GL_ONE x GL_ZERO</translation>
    </message>
</context>
<context>
    <name>SurfaceClipboard</name>
    <message>
        <source>there is no document</source>
        <translation type="vanished">there is no document</translation>
    </message>
    <message>
        <source>the clipboard is empty</source>
        <translation type="vanished">the clipboard is empty</translation>
    </message>
    <message>
        <source>the clipboard holds too much to be surface settings</source>
        <translation type="vanished">the clipboard holds too much to be surface settings</translation>
    </message>
    <message>
        <source>the clipboard does not hold a Skimbler surface&apos;s settings: %1</source>
        <translation type="vanished">the clipboard does not hold a Skimbler surface&apos;s settings: %1</translation>
    </message>
    <message>
        <source>貼上</source>
        <translation type="vanished">貼上</translation>
    </message>
</context>
<context>
    <name>SurfaceTools</name>
    <message>
        <source>匯出影像</source>
        <translation type="vanished">匯出影像</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation type="vanished">PNG images (*.png)</translation>
    </message>
    <message>
        <source>Cannot copy the surface: %1.</source>
        <translation type="vanished">Cannot copy the surface: %1.</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1.</source>
        <translation type="vanished">Nothing was pasted: %1.</translation>
    </message>
    <message>
        <source>Cannot export the image to %1: %2.</source>
        <translation type="vanished">Cannot export the image to %1: %2.</translation>
    </message>
    <message>
        <source>已匯出影像至 %1</source>
        <translation type="vanished">已匯出影像至 %1</translation>
    </message>
</context>
<context>
    <name>TextureUpload</name>
    <message>
        <source>out of memory</source>
        <translation type="vanished">out of memory</translation>
    </message>
    <message>
        <source>invalid size</source>
        <translation type="vanished">invalid size</translation>
    </message>
    <message>
        <source>error 0x%1</source>
        <translation type="vanished">error 0x%1</translation>
    </message>
    <message>
        <source>more than this OpenGL can hold</source>
        <translation type="vanished">more than this OpenGL can hold</translation>
    </message>
    <message>
        <source>larger than the %1 x %1 pixels this OpenGL can hold</source>
        <translation type="vanished">larger than the %1 x %1 pixels this OpenGL can hold</translation>
    </message>
    <message>
        <source>OpenGL could not make a %1 x %2 texture of it (%3)</source>
        <translation type="vanished">OpenGL could not make a %1 x %2 texture of it (%3)</translation>
    </message>
</context>
<context>
    <name>UserGuide</name>
    <message>
        <source>Skimbler User Guide</source>
        <translation type="vanished">Skimbler User Guide</translation>
    </message>
</context>
</TS>
