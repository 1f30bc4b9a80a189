<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>BackgroundMenu</name>
    <message>
        <source>背景(&amp;K)</source>
        <translation>背景(&amp;K)</translation>
    </message>
    <message>
        <source>棋盤格(&amp;C)</source>
        <translation>棋盤格(&amp;C)</translation>
    </message>
    <message>
        <source>深灰色(&amp;D)</source>
        <translation>深灰色(&amp;D)</translation>
    </message>
    <message>
        <source>黑色(&amp;B)</source>
        <translation>黑色(&amp;B)</translation>
    </message>
    <message>
        <source>自選顏色(&amp;O)...</source>
        <translation>自選顏色(&amp;O)...</translation>
    </message>
    <message>
        <source>背景顏色</source>
        <translation>背景顏色</translation>
    </message>
</context>
<context>
    <name>CAboutBox</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Skimbler Version 1.0</source>
        <translation>Skimbler Version 1.0</translation>
    </message>
    <message>
        <source>Prepares one textured surface for real-time renderers.</source>
        <translation>Prepares one textured surface for real-time renderers.</translation>
    </message>
    <message>
        <source>確定</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>CColorsPanel</name>
    <message>
        <source>Colors</source>
        <translation>Colors</translation>
    </message>
    <message>
        <source>Corner %1</source>
        <translation>Corner %1</translation>
    </message>
    <message>
        <source>變更色彩</source>
        <translation>變更色彩</translation>
    </message>
</context>
<context>
    <name>CFlagsPanel</name>
    <message>
        <source>Flags</source>
        <translation>Flags</translation>
    </message>
    <message>
        <source>變更旗標</source>
        <translation>變更旗標</translation>
    </message>
    <message>
        <source>儲存給引擎使用，不影響繪製。</source>
        <translation>儲存給引擎使用，不影響繪製。</translation>
    </message>
    <message>
        <source>設定時：平面畫在四個可拖曳的角點上。清除時：畫成影像大小的直立矩形 (以視窗像素計)，角點無法選取。</source>
        <translation>設定時：平面畫在四個可拖曳的角點上。清除時：畫成影像大小的直立矩形 (以視窗像素計)，角點無法選取。</translation>
    </message>
    <message>
        <source>設定時：每個角點的顏色乘上影像。清除時：所有角點都是白色。</source>
        <translation>設定時：每個角點的顏色乘上影像。清除時：所有角點都是白色。</translation>
    </message>
    <message>
        <source>設定時：使用 MagFilter。清除時：使用 GL_LINEAR。</source>
        <translation>設定時：使用 MagFilter。清除時：使用 GL_LINEAR。</translation>
    </message>
    <message>
        <source>設定時：使用 MinFilter。清除時：使用 GL_LINEAR。</source>
        <translation>設定時：使用 MinFilter。清除時：使用 GL_LINEAR。</translation>
    </message>
    <message>
        <source>設定時：使用 SrcFactor 與 DestFactor。清除時：使用 GL_SRC_ALPHA 與 GL_ONE_MINUS_SRC_ALPHA。</source>
        <translation>設定時：使用 SrcFactor 與 DestFactor。清除時：使用 GL_SRC_ALPHA 與 GL_ONE_MINUS_SRC_ALPHA。</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>開啟這份文件</source>
        <translation>開啟這份文件</translation>
    </message>
    <message>
        <source>開新檔案(&amp;N)</source>
        <translation>開新檔案(&amp;N)</translation>
    </message>
    <message>
        <source>開啟舊檔(&amp;O)...</source>
        <translation>開啟舊檔(&amp;O)...</translation>
    </message>
    <message>
        <source>儲存檔案(&amp;S)</source>
        <translation>儲存檔案(&amp;S)</translation>
    </message>
    <message>
        <source>另存新檔(&amp;A)...</source>
        <translation>另存新檔(&amp;A)...</translation>
    </message>
    <message>
        <source>列印(&amp;P)...</source>
        <translation>列印(&amp;P)...</translation>
    </message>
    <message>
        <source>預覽列印(&amp;V)</source>
        <translation>預覽列印(&amp;V)</translation>
    </message>
    <message>
        <source>列印設定(&amp;R)...</source>
        <translation>列印設定(&amp;R)...</translation>
    </message>
    <message>
        <source>最近使用的檔案</source>
        <translation>最近使用的檔案</translation>
    </message>
    <message>
        <source>結束(&amp;X)</source>
        <translation>結束(&amp;X)</translation>
    </message>
    <message>
        <source>復原(&amp;U)</source>
        <translation>復原(&amp;U)</translation>
    </message>
    <message>
        <source>取消復原(&amp;R)</source>
        <translation>取消復原(&amp;R)</translation>
    </message>
    <message>
        <source>剪下(&amp;T)</source>
        <translation>剪下(&amp;T)</translation>
    </message>
    <message>
        <source>複製(&amp;C)</source>
        <translation>複製(&amp;C)</translation>
    </message>
    <message>
        <source>貼上(&amp;P)</source>
        <translation>貼上(&amp;P)</translation>
    </message>
    <message>
        <source>工具列(&amp;T)</source>
        <translation>工具列(&amp;T)</translation>
    </message>
    <message>
        <source>狀態列(&amp;S)</source>
        <translation>狀態列(&amp;S)</translation>
    </message>
    <message>
        <source>檢視列(&amp;V)</source>
        <translation>檢視列(&amp;V)</translation>
    </message>
    <message>
        <source>關於 Skimbler(&amp;A)...</source>
        <translation>關於 Skimbler(&amp;A)...</translation>
    </message>
    <message>
        <source>使用者指南(&amp;G)</source>
        <translation>使用者指南(&amp;G)</translation>
    </message>
    <message>
        <source>匯出影像(&amp;E)...</source>
        <translation>匯出影像(&amp;E)...</translation>
    </message>
    <message>
        <source>像素探針(&amp;I)</source>
        <translation>像素探針(&amp;I)</translation>
    </message>
    <message>
        <source>透視校正貼圖(&amp;E)</source>
        <translation>透視校正貼圖(&amp;E)</translation>
    </message>
    <message>
        <source>Copy as shader code</source>
        <translation>Copy as shader code</translation>
    </message>
    <message>
        <source>調整至視窗大小(&amp;W)</source>
        <translation>調整至視窗大小(&amp;W)</translation>
    </message>
    <message>
        <source>檔案(&amp;F)</source>
        <translation>檔案(&amp;F)</translation>
    </message>
    <message>
        <source>編輯(&amp;E)</source>
        <translation>編輯(&amp;E)</translation>
    </message>
    <message>
        <source>檢視(&amp;V)</source>
        <translation>檢視(&amp;V)</translation>
    </message>
    <message>
        <source>說明(&amp;H)</source>
        <translation>說明(&amp;H)</translation>
    </message>
    <message>
        <source>屬性視窗(&amp;P)</source>
        <translation>屬性視窗(&amp;P)</translation>
    </message>
    <message>
        <source>旗標視窗(&amp;F)</source>
        <translation>旗標視窗(&amp;F)</translation>
    </message>
    <message>
        <source>色彩視窗(&amp;C)</source>
        <translation>色彩視窗(&amp;C)</translation>
    </message>
    <message>
        <source>系統預設(&amp;S)</source>
        <translation>系統預設(&amp;S)</translation>
    </message>
    <message>
        <source>新的語言將在下次啟動 Skimbler 時套用。</source>
        <translation>新的語言將在下次啟動 Skimbler 時套用。</translation>
    </message>
    <message>
        <source>取代影像(&amp;I)...</source>
        <translation>取代影像(&amp;I)...</translation>
    </message>
    <message>
        <source>復原%1(&amp;U)</source>
        <translation>復原%1(&amp;U)</translation>
    </message>
    <message>
        <source>取消復原%1(&amp;R)</source>
        <translation>取消復原%1(&amp;R)</translation>
    </message>
</context>
<context>
    <name>CPropertyList</name>
    <message>
        <source>變更 %1</source>
        <translation>變更 %1</translation>
    </message>
    <message>
        <source>表面檔案的版本編號。儲存給讀取檔案的引擎使用，不影響繪製；僅供檢視。</source>
        <translation>表面檔案的版本編號。儲存給讀取檔案的引擎使用，不影響繪製；僅供檢視。</translation>
    </message>
    <message>
        <source>每像素的位元數。儲存給引擎使用，不影響繪製；僅供檢視。</source>
        <translation>每像素的位元數。儲存給引擎使用，不影響繪製；僅供檢視。</translation>
    </message>
    <message>
        <source>影像類型 (RGB 或 RGBA)。儲存給引擎使用，不影響繪製；僅供檢視。</source>
        <translation>影像類型 (RGB 或 RGBA)。儲存給引擎使用，不影響繪製；僅供檢視。</translation>
    </message>
    <message>
        <source>影像資料的格式。儲存給引擎使用，不影響繪製；按一下可從清單選擇。</source>
        <translation>影像資料的格式。儲存給引擎使用，不影響繪製；按一下可從清單選擇。</translation>
    </message>
    <message>
        <source>影像的寬度 (像素)，取自影像檔；僅供檢視。</source>
        <translation>影像的寬度 (像素)，取自影像檔；僅供檢視。</translation>
    </message>
    <message>
        <source>影像的高度 (像素)，取自影像檔；僅供檢視。</source>
        <translation>影像的高度 (像素)，取自影像檔；僅供檢視。</translation>
    </message>
    <message>
        <source>色鍵值 (0 到 4294967295)。儲存給引擎使用，不影響繪製；按一下可輸入數值。</source>
        <translation>色鍵值 (0 到 4294967295)。儲存給引擎使用，不影響繪製；按一下可輸入數值。</translation>
    </message>
    <message>
        <source>影像放大顯示 (一個紋素蓋過多個像素) 時的取樣方式：GL_NEAREST 呈方塊狀，GL_LINEAR 較平滑。MAG 旗標設定時才使用。</source>
        <translation>影像放大顯示 (一個紋素蓋過多個像素) 時的取樣方式：GL_NEAREST 呈方塊狀，GL_LINEAR 較平滑。MAG 旗標設定時才使用。</translation>
    </message>
    <message>
        <source>影像縮小顯示時的取樣方式：GL_NEAREST、GL_LINEAR，或四種 mipmap 濾波 (縮得很小時較不閃爍)。MIN 旗標設定時才使用。</source>
        <translation>影像縮小顯示時的取樣方式：GL_NEAREST、GL_LINEAR，或四種 mipmap 濾波 (縮得很小時較不閃爍)。MIN 旗標設定時才使用。</translation>
    </message>
    <message>
        <source>來源係數：影像的顏色乘上此係數，再與畫面上已有的顏色相加。BLEND 旗標設定時才使用。</source>
        <translation>來源係數：影像的顏色乘上此係數，再與畫面上已有的顏色相加。BLEND 旗標設定時才使用。</translation>
    </message>
    <message>
        <source>目的係數：畫面上已有的顏色乘上此係數，再與影像的顏色相加。BLEND 旗標設定時才使用。</source>
        <translation>目的係數：畫面上已有的顏色乘上此係數，再與影像的顏色相加。BLEND 旗標設定時才使用。</translation>
    </message>
</context>
<context>
    <name>CPropertyPanel</name>
    <message>
        <source>Property</source>
        <translation>Property</translation>
    </message>
</context>
<context>
    <name>CSkimblerApp</name>
    <message>
        <source>已重新載入 %1</source>
        <translation>已重新載入 %1</translation>
    </message>
    <message>
        <source>無法重新載入 %1，仍顯示上一次的影像：%2</source>
        <translation>無法重新載入 %1，仍顯示上一次的影像：%2</translation>
    </message>
    <message>
        <source>無法自動備份：%1</source>
        <translation>無法自動備份：%1</translation>
    </message>
    <message>
        <source>Failed to ShowToolWindows.</source>
        <translation>Failed to ShowToolWindows.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>Surfaces and images (%1 %2);;Skimbler surfaces (%1);;Images (%2);;All files (*)</source>
        <translation>Surfaces and images (%1 %2);;Skimbler surfaces (%1);;Images (%2);;All files (*)</translation>
    </message>
    <message>
        <source>Skimbler surfaces (%1);;All files (*)</source>
        <translation>Skimbler surfaces (%1);;All files (*)</translation>
    </message>
    <message>
        <source>Images (%1);;All files (*)</source>
        <translation>Images (%1);;All files (*)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has been changed by another program since it was opened or last saved here. Overwrite it with this surface?</source>
        <translation>「%1」在開啟或上次於此儲存之後已被其他程式修改。要以這個表面覆寫它嗎？</translation>
    </message>
    <message>
        <source>%1 is the picture this surface shows. Saving the surface there would replace the picture with the surface file. Save it under another name.</source>
        <translation>%1 是這個表面顯示的圖片。在此儲存表面會以表面檔取代該圖片。請以其他名稱儲存。</translation>
    </message>
</context>
<context>
    <name>CSkimblerDoc</name>
    <message>
        <source>the file does not exist</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>Could not %1 &quot;%2&quot;: %3.</source>
        <translation>Could not %1 &quot;%2&quot;: %3.</translation>
    </message>
    <message>
        <source>取代影像</source>
        <translation>取代影像</translation>
    </message>
    <message>
        <source>a folder on its way cannot be searched (%1)</source>
        <translation>a folder on its way cannot be searched (%1)</translation>
    </message>
    <message>
        <source>its name is not valid UTF-8, so the file cannot be found</source>
        <translation>its name is not valid UTF-8, so the file cannot be found</translation>
    </message>
    <message>
        <source>it is a symbolic link to a file that does not exist</source>
        <translation>it is a symbolic link to a file that does not exist</translation>
    </message>
    <message>
        <source>its name holds a NUL character</source>
        <translation>its name holds a NUL character</translation>
    </message>
</context>
<context>
    <name>CSkimblerView</name>
    <message>
        <source>Failed to create GraphicalFramework.</source>
        <translation>Failed to create GraphicalFramework.</translation>
    </message>
    <message>
        <source>Failed to create GraphicalInterface.</source>
        <translation>Failed to create GraphicalInterface.</translation>
    </message>
    <message>
        <source>拖曳角點</source>
        <translation>拖曳角點</translation>
    </message>
    <message>
        <source>拖曳邊</source>
        <translation>拖曳邊</translation>
    </message>
    <message>
        <source>移動平面</source>
        <translation>移動平面</translation>
    </message>
    <message>
        <source>重設角點</source>
        <translation>重設角點</translation>
    </message>
    <message>
        <source>輸入座標</source>
        <translation>輸入座標</translation>
    </message>
    <message>
        <source>移動角點</source>
        <translation>移動角點</translation>
    </message>
    <message>
        <source>角點 %1</source>
        <translation>角點 %1</translation>
    </message>
    <message>
        <source>左邊</source>
        <translation>左邊</translation>
    </message>
    <message>
        <source>下邊</source>
        <translation>下邊</translation>
    </message>
    <message>
        <source>右邊</source>
        <translation>右邊</translation>
    </message>
    <message>
        <source>上邊</source>
        <translation>上邊</translation>
    </message>
    <message>
        <source>整個平面</source>
        <translation>整個平面</translation>
    </message>
    <message>
        <source>無</source>
        <translation>無</translation>
    </message>
    <message>
        <source>X: %1   Y: %2   拖曳: %3   縮放: %4%</source>
        <translation>X: %1   Y: %2   拖曳: %3   縮放: %4%</translation>
    </message>
</context>
<context>
    <name>CommandPrompts</name>
    <message>
        <source>建立新文件</source>
        <translation>建立新文件</translation>
    </message>
    <message>
        <source>開新檔案</source>
        <translation>開新檔案</translation>
    </message>
    <message>
        <source>開啟現有文件</source>
        <translation>開啟現有文件</translation>
    </message>
    <message>
        <source>開啟舊檔</source>
        <translation>開啟舊檔</translation>
    </message>
    <message>
        <source>儲存使用中文件</source>
        <translation>儲存使用中文件</translation>
    </message>
    <message>
        <source>儲存檔案</source>
        <translation>儲存檔案</translation>
    </message>
    <message>
        <source>使用新名稱儲存使用中文件</source>
        <translation>使用新名稱儲存使用中文件</translation>
    </message>
    <message>
        <source>另存新檔</source>
        <translation>另存新檔</translation>
    </message>
    <message>
        <source>將平面存成 PNG 影像</source>
        <translation>將平面存成 PNG 影像</translation>
    </message>
    <message>
        <source>匯出影像</source>
        <translation>匯出影像</translation>
    </message>
    <message>
        <source>列印使用中文件</source>
        <translation>列印使用中文件</translation>
    </message>
    <message>
        <source>列印</source>
        <translation>列印</translation>
    </message>
    <message>
        <source>以全頁顯示</source>
        <translation>以全頁顯示</translation>
    </message>
    <message>
        <source>預覽列印</source>
        <translation>預覽列印</translation>
    </message>
    <message>
        <source>變更印表機和列印選項</source>
        <translation>變更印表機和列印選項</translation>
    </message>
    <message>
        <source>列印設定</source>
        <translation>列印設定</translation>
    </message>
    <message>
        <source>結束應用程式; 提示使用者儲存文件</source>
        <translation>結束應用程式; 提示使用者儲存文件</translation>
    </message>
    <message>
        <source>結束</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>復原上一個動作</source>
        <translation>復原上一個動作</translation>
    </message>
    <message>
        <source>復原</source>
        <translation>復原</translation>
    </message>
    <message>
        <source>取消復原上一個動作</source>
        <translation>取消復原上一個動作</translation>
    </message>
    <message>
        <source>取消復原</source>
        <translation>取消復原</translation>
    </message>
    <message>
        <source>剪下選取範圍並將它放到剪貼簿上</source>
        <translation>剪下選取範圍並將它放到剪貼簿上</translation>
    </message>
    <message>
        <source>剪下</source>
        <translation>剪下</translation>
    </message>
    <message>
        <source>將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿</source>
        <translation>將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿</translation>
    </message>
    <message>
        <source>複製</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>套用剪貼簿中的平面設定 (影像不變)</source>
        <translation>套用剪貼簿中的平面設定 (影像不變)</translation>
    </message>
    <message>
        <source>貼上</source>
        <translation>貼上</translation>
    </message>
    <message>
        <source>將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿</source>
        <translation>將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿</translation>
    </message>
    <message>
        <source>Copy as shader code</source>
        <translation>Copy as shader code</translation>
    </message>
    <message>
        <source>顯示或隱藏工具列</source>
        <translation>顯示或隱藏工具列</translation>
    </message>
    <message>
        <source>切換工具列</source>
        <translation>切換工具列</translation>
    </message>
    <message>
        <source>顯示或隱藏狀態列</source>
        <translation>顯示或隱藏狀態列</translation>
    </message>
    <message>
        <source>切換狀態列</source>
        <translation>切換狀態列</translation>
    </message>
    <message>
        <source>隱藏或顯示檢視列</source>
        <translation>隱藏或顯示檢視列</translation>
    </message>
    <message>
        <source>切換檢視列</source>
        <translation>切換檢視列</translation>
    </message>
    <message>
        <source>顯示或隱藏屬性視窗</source>
        <translation>顯示或隱藏屬性視窗</translation>
    </message>
    <message>
        <source>切換屬性視窗</source>
        <translation>切換屬性視窗</translation>
    </message>
    <message>
        <source>顯示或隱藏旗標視窗</source>
        <translation>顯示或隱藏旗標視窗</translation>
    </message>
    <message>
        <source>切換旗標視窗</source>
        <translation>切換旗標視窗</translation>
    </message>
    <message>
        <source>顯示或隱藏色彩視窗</source>
        <translation>顯示或隱藏色彩視窗</translation>
    </message>
    <message>
        <source>切換色彩視窗</source>
        <translation>切換色彩視窗</translation>
    </message>
    <message>
        <source>顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)</source>
        <translation>顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)</translation>
    </message>
    <message>
        <source>像素探針</source>
        <translation>像素探針</translation>
    </message>
    <message>
        <source>以投影紋理座標繪製, 使影像的直線保持筆直</source>
        <translation>以投影紋理座標繪製, 使影像的直線保持筆直</translation>
    </message>
    <message>
        <source>透視校正貼圖</source>
        <translation>透視校正貼圖</translation>
    </message>
    <message>
        <source>縮放並捲動檢視以顯示整個平面</source>
        <translation>縮放並捲動檢視以顯示整個平面</translation>
    </message>
    <message>
        <source>調整至視窗大小</source>
        <translation>調整至視窗大小</translation>
    </message>
    <message>
        <source>顯示程式資訊、版本號碼及著作權</source>
        <translation>顯示程式資訊、版本號碼及著作權</translation>
    </message>
    <message>
        <source>關於</source>
        <translation>關於</translation>
    </message>
    <message>
        <source>開啟使用者指南</source>
        <translation>開啟使用者指南</translation>
    </message>
    <message>
        <source>使用者指南</source>
        <translation>使用者指南</translation>
    </message>
    <message>
        <source>顯示或隱藏座標軸</source>
        <translation>顯示或隱藏座標軸</translation>
    </message>
    <message>
        <source>座標軸</source>
        <translation>座標軸</translation>
    </message>
    <message>
        <source>顯示或隱藏外框與控制點</source>
        <translation>顯示或隱藏外框與控制點</translation>
    </message>
    <message>
        <source>外框與控制點</source>
        <translation>外框與控制點</translation>
    </message>
    <message>
        <source>放大檢視</source>
        <translation>放大檢視</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>縮小檢視</source>
        <translation>縮小檢視</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>縮小</translation>
    </message>
    <message>
        <source>以原始大小檢視</source>
        <translation>以原始大小檢視</translation>
    </message>
    <message>
        <source>原始大小</source>
        <translation>原始大小</translation>
    </message>
    <message>
        <source>檢視的縮放比例 (百分比)</source>
        <translation>檢視的縮放比例 (百分比)</translation>
    </message>
    <message>
        <source>縮放比例</source>
        <translation>縮放比例</translation>
    </message>
    <message>
        <source>將四個角點還原為預設位置</source>
        <translation>將四個角點還原為預設位置</translation>
    </message>
    <message>
        <source>還原角點</source>
        <translation>還原角點</translation>
    </message>
    <message>
        <source>不選取任何角點 (Esc)</source>
        <translation>不選取任何角點 (Esc)</translation>
    </message>
    <message>
        <source>不選取角點</source>
        <translation>不選取角點</translation>
    </message>
    <message>
        <source>選取角點 0 (0)</source>
        <translation>選取角點 0 (0)</translation>
    </message>
    <message>
        <source>角點 0</source>
        <translation>角點 0</translation>
    </message>
    <message>
        <source>選取角點 1 (1)</source>
        <translation>選取角點 1 (1)</translation>
    </message>
    <message>
        <source>角點 1</source>
        <translation>角點 1</translation>
    </message>
    <message>
        <source>選取角點 2 (2)</source>
        <translation>選取角點 2 (2)</translation>
    </message>
    <message>
        <source>角點 2</source>
        <translation>角點 2</translation>
    </message>
    <message>
        <source>選取角點 3 (3)</source>
        <translation>選取角點 3 (3)</translation>
    </message>
    <message>
        <source>角點 3</source>
        <translation>角點 3</translation>
    </message>
    <message>
        <source>選取角點的 X 座標</source>
        <translation>選取角點的 X 座標</translation>
    </message>
    <message>
        <source>X 座標</source>
        <translation>X 座標</translation>
    </message>
    <message>
        <source>選取角點的 Y 座標</source>
        <translation>選取角點的 Y 座標</translation>
    </message>
    <message>
        <source>Y 座標</source>
        <translation>Y 座標</translation>
    </message>
    <message>
        <source>選取角點的 Z 座標</source>
        <translation>選取角點的 Z 座標</translation>
    </message>
    <message>
        <source>Z 座標</source>
        <translation>Z 座標</translation>
    </message>
    <message>
        <source>就緒</source>
        <translation>就緒</translation>
    </message>
    <message>
        <source>以另一個影像取代平面的影像，保留所有設定</source>
        <translation>以另一個影像取代平面的影像，保留所有設定</translation>
    </message>
    <message>
        <source>取代影像</source>
        <translation>取代影像</translation>
    </message>
</context>
<context>
    <name>ExportDrawing</name>
    <message>
        <source>the graphics driver cannot draw a %1 x %2 picture</source>
        <translation>the graphics driver cannot draw a %1 x %2 picture</translation>
    </message>
    <message>
        <source>the picture could not be read back</source>
        <translation>the picture could not be read back</translation>
    </message>
</context>
<context>
    <name>ExportImage</name>
    <message>
        <source>there is no drawing context</source>
        <translation>there is no drawing context</translation>
    </message>
    <message>
        <source>the size must be from 1 to %1 pixels a side</source>
        <translation>the size must be from 1 to %1 pixels a side</translation>
    </message>
    <message>
        <source>匯出影像</source>
        <translation>匯出影像</translation>
    </message>
    <message>
        <source>檢視大小 (%1 x %2)</source>
        <translation>檢視大小 (%1 x %2)</translation>
    </message>
    <message>
        <source>自訂大小</source>
        <translation>自訂大小</translation>
    </message>
    <message>
        <source>寬度</source>
        <translation>寬度</translation>
    </message>
    <message>
        <source>高度</source>
        <translation>高度</translation>
    </message>
    <message>
        <source>含檢視的背景 (不含時背景透明)</source>
        <translation>含檢視的背景 (不含時背景透明)</translation>
    </message>
    <message>
        <source>自訂大小依其本身的寬高比繪製，不沿用檢視所選的螢幕形狀。</source>
        <translation>自訂大小依其本身的寬高比繪製，不沿用檢視所選的螢幕形狀。</translation>
    </message>
</context>
<context>
    <name>GraphicalFramework</name>
    <message>
        <source>ERROR</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>SHUTDOWN ERROR</source>
        <translation>SHUTDOWN ERROR</translation>
    </message>
    <message>
        <source>Can&apos;t Create A GL Device Context.</source>
        <translation>Can&apos;t Create A GL Device Context.</translation>
    </message>
    <message>
        <source>Can&apos;t Find A Suitable PixelFormat.</source>
        <translation>Can&apos;t Find A Suitable PixelFormat.</translation>
    </message>
    <message>
        <source>Can&apos;t Set The PixelFormat.</source>
        <translation>Can&apos;t Set The PixelFormat.</translation>
    </message>
    <message>
        <source>Can&apos;t Create A GL Rendering Context.</source>
        <translation>Can&apos;t Create A GL Rendering Context.</translation>
    </message>
    <message>
        <source>Can&apos;t Activate The GL Rendering Context.</source>
        <translation>Can&apos;t Activate The GL Rendering Context.</translation>
    </message>
    <message>
        <source>Release Of DC And RC Failed.</source>
        <translation>Release Of DC And RC Failed.</translation>
    </message>
    <message>
        <source>Release Rendering Context Failed.</source>
        <translation>Release Rendering Context Failed.</translation>
    </message>
</context>
<context>
    <name>ImageReader</name>
    <message>
        <source>the file could not be read</source>
        <translation>the file could not be read</translation>
    </message>
    <message>
        <source>unsupported format</source>
        <translation>unsupported format</translation>
    </message>
    <message>
        <source>invalid data</source>
        <translation>invalid data</translation>
    </message>
    <message>
        <source>not a readable image (%1)</source>
        <translation>not a readable image (%1)</translation>
    </message>
    <message>
        <source>the image is %1 x %2 pixels, %3</source>
        <translation>the image is %1 x %2 pixels, %3</translation>
    </message>
</context>
<context>
    <name>LoadProgress</name>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>停止開啟，平面保持原樣 (Esc)</source>
        <translation>停止開啟，平面保持原樣 (Esc)</translation>
    </message>
    <message>
        <source>正在開啟 %1…</source>
        <translation>正在開啟 %1…</translation>
    </message>
    <message>
        <source>正在重新載入 %1…</source>
        <translation>正在重新載入 %1…</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Discard</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>&amp;Recover</translation>
    </message>
    <message>
        <source>&amp;Later</source>
        <translation>&amp;Later</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>覆寫(&amp;O)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>另存新檔(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>取代(&amp;R)</translation>
    </message>
</context>
<context>
    <name>Outputs</name>
    <message>
        <source>has no picture to export</source>
        <translation>沒有可匯出的影像</translation>
    </message>
    <message>
        <source>could not encode its picture</source>
        <translation>無法編碼其影像</translation>
    </message>
    <message>
        <source>blending %1 / %2 is kept in the material&apos;s extras; viewers and engines that do not read it draw plain alpha blending</source>
        <translation>混合方式 %1 / %2 保存在材質的 extras 中；不讀取它的檢視器與引擎會以一般的 alpha 混合繪製</translation>
    </message>
    <message>
        <source>glTF 2.0</source>
        <translation>glTF 2.0</translation>
    </message>
    <message>
        <source>glTF binary</source>
        <translation>glTF 二進位檔</translation>
    </message>
    <message>
        <source>PNG image</source>
        <translation>PNG 影像</translation>
    </message>
    <message>
        <source>the view&apos;s pan is left out: a glTF camera cannot shift its picture</source>
        <translation>未包含檢視的平移：glTF 攝影機無法平移其畫面</translation>
    </message>
</context>
<context>
    <name>PixelProbe</name>
    <message>
        <source>視窗像素 %1, %2</source>
        <translation>視窗像素 %1, %2</translation>
    </message>
    <message>
        <source>不在平面上; 背景 %1</source>
        <translation>不在平面上; 背景 %1</translation>
    </message>
    <message>
        <source>紋理座標 u %1, v %2</source>
        <translation>紋理座標 u %1, v %2</translation>
    </message>
    <message>
        <source>紋素 %1, %2</source>
        <translation>紋素 %1, %2</translation>
    </message>
    <message>
        <source> (第 %1 層)</source>
        <translation> (第 %1 層)</translation>
    </message>
    <message>
        <source>紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色</source>
        <translation>紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色</translation>
    </message>
    <message>
        <source>取樣 %1 (%2)</source>
        <translation>取樣 %1 (%2)</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>縮小</translation>
    </message>
    <message>
        <source> 不被 OpenGL 接受, 沿用 %1</source>
        <translation> 不被 OpenGL 接受, 沿用 %1</translation>
    </message>
    <message>
        <source>角點顏色內插  RGBA %1</source>
        <translation>角點顏色內插  RGBA %1</translation>
    </message>
    <message>
        <source>來源 = 取樣 x 角點顏色  RGBA %1</source>
        <translation>來源 = 取樣 x 角點顏色  RGBA %1</translation>
    </message>
    <message>
        <source>混合 %1 x %2 + %3 x %4</source>
        <translation>混合 %1 x %2 + %3 x %4</translation>
    </message>
    <message>
        <source>來源</source>
        <translation>來源</translation>
    </message>
    <message>
        <source>目的</source>
        <translation>目的</translation>
    </message>
    <message>
        <source> 不被 OpenGL 接受, 沿用 %1 x %2</source>
        <translation> 不被 OpenGL 接受, 沿用 %1 x %2</translation>
    </message>
</context>
<context>
    <name>RecoveryManager</name>
    <message>
        <source>its description is damaged</source>
        <translation>its description is damaged</translation>
    </message>
    <message>
        <source>An automatic copy of an unsaved surface cannot be read: %1. It is left where it is.</source>
        <translation>An automatic copy of an unsaved surface cannot be read: %1. It is left where it is.</translation>
    </message>
    <message>
        <source>Skimbler ended before &quot;%1&quot; was saved. A copy was kept automatically at %2.</source>
        <translation>Skimbler ended before &quot;%1&quot; was saved. A copy was kept automatically at %2.</translation>
    </message>
    <message>
        <source>the folder %1 cannot be written (%2)</source>
        <translation>the folder %1 cannot be written (%2)</translation>
    </message>
    <message>
        <source>its lock file could not be made</source>
        <translation>its lock file could not be made</translation>
    </message>
</context>
<context>
    <name>ScreenShapeMenu</name>
    <message>
        <source>自訂 %1 x %2(&amp;C)...</source>
        <translation>自訂 %1 x %2(&amp;C)...</translation>
    </message>
    <message>
        <source>目標螢幕(&amp;R)</source>
        <translation>目標螢幕(&amp;R)</translation>
    </message>
    <message>
        <source>視窗本身(&amp;W)</source>
        <translation>視窗本身(&amp;W)</translation>
    </message>
    <message>
        <source>自訂(&amp;C)...</source>
        <translation>自訂(&amp;C)...</translation>
    </message>
    <message>
        <source>目標螢幕</source>
        <translation>目標螢幕</translation>
    </message>
    <message>
        <source>寬度 x 高度 (例如 1920 x 1080):</source>
        <translation>寬度 x 高度 (例如 1920 x 1080):</translation>
    </message>
</context>
<context>
    <name>SurfaceClipboard</name>
    <message>
        <source>there is no document</source>
        <translation>there is no document</translation>
    </message>
    <message>
        <source>the clipboard is empty</source>
        <translation>the clipboard is empty</translation>
    </message>
    <message>
        <source>the clipboard holds too much to be surface settings</source>
        <translation>the clipboard holds too much to be surface settings</translation>
    </message>
    <message>
        <source>the clipboard does not hold a Skimbler surface&apos;s settings: %1</source>
        <translation>the clipboard does not hold a Skimbler surface&apos;s settings: %1</translation>
    </message>
    <message>
        <source>貼上</source>
        <translation>貼上</translation>
    </message>
</context>
<context>
    <name>SurfaceTools</name>
    <message>
        <source>匯出影像</source>
        <translation>匯出影像</translation>
    </message>
    <message>
        <source>Cannot copy the surface: %1.</source>
        <translation>Cannot copy the surface: %1.</translation>
    </message>
    <message>
        <source>Nothing was pasted: %1.</source>
        <translation>Nothing was pasted: %1.</translation>
    </message>
    <message>
        <source>Cannot export the image to %1: %2.</source>
        <translation>Cannot export the image to %1: %2.</translation>
    </message>
    <message>
        <source>已匯出影像至 %1</source>
        <translation>已匯出影像至 %1</translation>
    </message>
    <message>
        <source>透視校正貼圖</source>
        <translation>透視校正貼圖</translation>
    </message>
    <message>
        <source>%1 is the picture this surface shows. Exporting there replaces the picture itself, and that cannot be undone.

Replace the surface&apos;s picture with the export?</source>
        <translation>「%1」是這個表面所顯示的影像。匯出到那裡會取代影像本身，而且無法復原。

要以匯出的結果取代表面的影像嗎？</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>「%1」已經存在。要取代它嗎？</translation>
    </message>
    <message>
        <source>Cannot export to %1: Skimbler writes %2 files.</source>
        <translation>無法匯出至 %1：Skimbler 只能寫出 %2 檔案。</translation>
    </message>
    <message>
        <source>Cannot export to %1: it is not a regular file.</source>
        <translation>無法匯出至 %1：它不是一般檔案。</translation>
    </message>
    <message>
        <source>there is no surface</source>
        <translation>沒有表面</translation>
    </message>
</context>
<context>
    <name>TextureUpload</name>
    <message>
        <source>out of memory</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>invalid size</source>
        <translation>invalid size</translation>
    </message>
    <message>
        <source>error 0x%1</source>
        <translation>error 0x%1</translation>
    </message>
    <message>
        <source>more than this OpenGL can hold</source>
        <translation>more than this OpenGL can hold</translation>
    </message>
    <message>
        <source>larger than the %1 x %1 pixels this OpenGL can hold</source>
        <translation>larger than the %1 x %1 pixels this OpenGL can hold</translation>
    </message>
    <message>
        <source>OpenGL could not make a %1 x %2 texture of it (%3)</source>
        <translation>OpenGL could not make a %1 x %2 texture of it (%3)</translation>
    </message>
</context>
<context>
    <name>TgaLoader</name>
    <message>
        <source>ERROR</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Could not read RLE header</source>
        <translation>Could not read RLE header</translation>
    </message>
    <message>
        <source>Could not read image data</source>
        <translation>Could not read image data</translation>
    </message>
    <message>
        <source>Too many pixels read</source>
        <translation>Too many pixels read</translation>
    </message>
    <message>
        <source>Could not allocate memory for image</source>
        <translation>Could not allocate memory for image</translation>
    </message>
    <message>
        <source>Could not read from file</source>
        <translation>Could not read from file</translation>
    </message>
    <message>
        <source>Could not read info header</source>
        <translation>Could not read info header</translation>
    </message>
    <message>
        <source>Invalid texture information</source>
        <translation>Invalid texture information</translation>
    </message>
    <message>
        <source>Could not open texture file</source>
        <translation>Could not open texture file</translation>
    </message>
    <message>
        <source>Could not read file header</source>
        <translation>Could not read file header</translation>
    </message>
    <message>
        <source>TGA file be type 2 or type 10 </source>
        <translation>TGA file be type 2 or type 10 </translation>
    </message>
    <message>
        <source>Invalid Image</source>
        <translation>Invalid Image</translation>
    </message>
</context>
<context>
    <name>UserGuide</name>
    <message>
        <source>Skimbler User Guide</source>
        <translation>Skimbler User Guide</translation>
    </message>
    <message>
        <source># Skimbler User Guide

The guide is missing from this build.</source>
        <translation># Skimbler User Guide

The guide is missing from this build.</translation>
    </message>
</context>
</TS>
