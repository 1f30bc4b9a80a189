<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <translation type="vanished">OK</translation>
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
        <translation type="vanished">Change Colors</translation>
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
        <translation type="vanished">Change Flags</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>開啟這份文件</source>
        <translation type="vanished">Open this document</translation>
    </message>
    <message>
        <source>復原</source>
        <translation type="vanished">Undo</translation>
    </message>
    <message>
        <source>取消復原</source>
        <translation type="vanished">Redo</translation>
    </message>
    <message>
        <source>開新檔案(&amp;N)</source>
        <translation type="vanished">&amp;New</translation>
    </message>
    <message>
        <source>開啟舊檔(&amp;O)...</source>
        <translation type="vanished">&amp;Open...</translation>
    </message>
    <message>
        <source>儲存檔案(&amp;S)</source>
        <translation type="vanished">&amp;Save</translation>
    </message>
    <message>
        <source>另存新檔(&amp;A)...</source>
        <translation type="vanished">Save &amp;As...</translation>
    </message>
    <message>
        <source>列印(&amp;P)...</source>
        <translation type="vanished">&amp;Print...</translation>
    </message>
    <message>
        <source>預覽列印(&amp;V)</source>
        <translation type="vanished">Print Pre&amp;view</translation>
    </message>
    <message>
        <source>列印設定(&amp;R)...</source>
        <translation type="vanished">P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>最近使用的檔案</source>
        <translation type="vanished">Recent File</translation>
    </message>
    <message>
        <source>結束(&amp;X)</source>
        <translation type="vanished">E&amp;xit</translation>
    </message>
    <message>
        <source>復原(&amp;U)</source>
        <translation type="vanished">&amp;Undo</translation>
    </message>
    <message>
        <source>取消復原(&amp;R)</source>
        <translation type="vanished">&amp;Redo</translation>
    </message>
    <message>
        <source>剪下(&amp;T)</source>
        <translation type="vanished">Cu&amp;t</translation>
    </message>
    <message>
        <source>複製(&amp;C)</source>
        <translation type="vanished">&amp;Copy</translation>
    </message>
    <message>
        <source>貼上(&amp;P)</source>
        <translation type="vanished">&amp;Paste</translation>
    </message>
    <message>
        <source>工具列(&amp;T)</source>
        <translation type="vanished">&amp;Toolbar</translation>
    </message>
    <message>
        <source>狀態列(&amp;S)</source>
        <translation type="vanished">&amp;Status Bar</translation>
    </message>
    <message>
        <source>檢視列(&amp;V)</source>
        <translation type="vanished">&amp;View Bar</translation>
    </message>
    <message>
        <source>關於 Skimbler(&amp;A)...</source>
        <translation type="vanished">&amp;About Skimbler...</translation>
    </message>
    <message>
        <source>使用者指南(&amp;G)</source>
        <translation type="vanished">User &amp;Guide</translation>
    </message>
    <message>
        <source>匯出影像(&amp;E)...</source>
        <translation type="vanished">&amp;Export Image...</translation>
    </message>
    <message>
        <source>像素探針(&amp;I)</source>
        <translation type="vanished">P&amp;ixel Probe</translation>
    </message>
    <message>
        <source>透視校正貼圖(&amp;E)</source>
        <translation type="vanished">P&amp;erspective-Correct Texture</translation>
    </message>
    <message>
        <source>Copy as shader code</source>
        <translation type="vanished">Copy as shader code</translation>
    </message>
    <message>
        <source>調整至視窗大小(&amp;W)</source>
        <translation type="vanished">Fit to &amp;Window</translation>
    </message>
    <message>
        <source>檔案(&amp;F)</source>
        <translation type="vanished">&amp;File</translation>
    </message>
    <message>
        <source>編輯(&amp;E)</source>
        <translation type="vanished">&amp;Edit</translation>
    </message>
    <message>
        <source>檢視(&amp;V)</source>
        <translation type="vanished">&amp;View</translation>
    </message>
    <message>
        <source>說明(&amp;H)</source>
        <translation type="vanished">&amp;Help</translation>
    </message>
    <message>
        <source>屬性視窗(&amp;P)</source>
        <translation type="vanished">&amp;Property Window</translation>
    </message>
    <message>
        <source>旗標視窗(&amp;F)</source>
        <translation type="vanished">&amp;Flags Window</translation>
    </message>
    <message>
        <source>色彩視窗(&amp;C)</source>
        <translation type="vanished">&amp;Colors Window</translation>
    </message>
    <message>
        <source>語言(&amp;L)</source>
        <translation type="vanished">&amp;Language</translation>
    </message>
    <message>
        <source>系統預設(&amp;S)</source>
        <translation type="vanished">&amp;System</translation>
    </message>
    <message>
        <source>新的語言將在下次啟動 Skimbler 時套用。</source>
        <translation type="vanished">The new language takes effect the next time Skimbler starts.</translation>
    </message>
</context>
<context>
    <name>CPropertyList</name>
    <message>
        <source>變更 %1</source>
        <translation type="vanished">Change %1</translation>
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
        <translation type="vanished">Reloaded %1</translation>
    </message>
    <message>
        <source>無法重新載入 %1，仍顯示上一次的影像：%2</source>
        <translation type="vanished">Could not reload %1, still showing the previous image: %2</translation>
    </message>
    <message>
        <source>無法自動備份：%1</source>
        <translation type="vanished">Could not make an automatic copy: %1</translation>
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
        <translation type="vanished">Drag Corner</translation>
    </message>
    <message>
        <source>拖曳邊</source>
        <translation type="vanished">Drag Edge</translation>
    </message>
    <message>
        <source>移動平面</source>
        <translation type="vanished">Move Surface</translation>
    </message>
    <message>
        <source>重設角點</source>
        <translation type="vanished">Reset Corners</translation>
    </message>
    <message>
        <source>輸入座標</source>
        <translation type="vanished">Enter Coordinate</translation>
    </message>
    <message>
        <source>移動角點</source>
        <translation type="vanished">Move Corner</translation>
    </message>
    <message>
        <source>角點 %1</source>
        <translation type="vanished">corner %1</translation>
    </message>
    <message>
        <source>左邊</source>
        <translation type="vanished">left edge</translation>
    </message>
    <message>
        <source>下邊</source>
        <translation type="vanished">bottom edge</translation>
    </message>
    <message>
        <source>右邊</source>
        <translation type="vanished">right edge</translation>
    </message>
    <message>
        <source>上邊</source>
        <translation type="vanished">top edge</translation>
    </message>
    <message>
        <source>整個平面</source>
        <translation type="vanished">whole surface</translation>
    </message>
    <message>
        <source>無</source>
        <translation type="vanished">nothing</translation>
    </message>
    <message>
        <source>X: %1   Y: %2   拖曳: %3   縮放: %4%</source>
        <translation type="vanished">X: %1   Y: %2   Drag: %3   Zoom: %4%</translation>
    </message>
</context>
<context>
    <name>CommandPrompts</name>
    <message>
        <source>建立新文件</source>
        <translation type="vanished">Create a new document</translation>
    </message>
    <message>
        <source>開新檔案</source>
        <translation type="vanished">New</translation>
    </message>
    <message>
        <source>開啟現有文件</source>
        <translation type="vanished">Open an existing document</translation>
    </message>
    <message>
        <source>開啟舊檔</source>
        <translation type="vanished">Open</translation>
    </message>
    <message>
        <source>儲存使用中文件</source>
        <translation type="vanished">Save the active document</translation>
    </message>
    <message>
        <source>儲存檔案</source>
        <translation type="vanished">Save</translation>
    </message>
    <message>
        <source>使用新名稱儲存使用中文件</source>
        <translation type="vanished">Save the active document with a new name</translation>
    </message>
    <message>
        <source>另存新檔</source>
        <translation type="vanished">Save As</translation>
    </message>
    <message>
        <source>將平面存成 PNG 影像</source>
        <translation type="vanished">Save the surface as a PNG image</translation>
    </message>
    <message>
        <source>匯出影像</source>
        <translation type="vanished">Export Image</translation>
    </message>
    <message>
        <source>列印使用中文件</source>
        <translation type="vanished">Print the active document</translation>
    </message>
    <message>
        <source>列印</source>
        <translation type="vanished">Print</translation>
    </message>
    <message>
        <source>以全頁顯示</source>
        <translation type="vanished">Display full pages</translation>
    </message>
    <message>
        <source>預覽列印</source>
        <translation type="vanished">Print Preview</translation>
    </message>
    <message>
        <source>變更印表機和列印選項</source>
        <translation type="vanished">Change the printer and printing options</translation>
    </message>
    <message>
        <source>列印設定</source>
        <translation type="vanished">Print Setup</translation>
    </message>
    <message>
        <source>結束應用程式; 提示使用者儲存文件</source>
        <translation type="vanished">Quit the application; prompts to save documents</translation>
    </message>
    <message>
        <source>結束</source>
        <translation type="vanished">Exit</translation>
    </message>
    <message>
        <source>復原上一個動作</source>
        <translation type="vanished">Undo the last action</translation>
    </message>
    <message>
        <source>復原</source>
        <translation type="vanished">Undo</translation>
    </message>
    <message>
        <source>取消復原上一個動作</source>
        <translation type="vanished">Redo the previously undone action</translation>
    </message>
    <message>
        <source>取消復原</source>
        <translation type="vanished">Redo</translation>
    </message>
    <message>
        <source>剪下選取範圍並將它放到剪貼簿上</source>
        <translation type="vanished">Cut the selection and put it on the Clipboard</translation>
    </message>
    <message>
        <source>剪下</source>
        <translation type="vanished">Cut</translation>
    </message>
    <message>
        <source>將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿</source>
        <translation type="vanished">Copy the surface&apos;s drawing state (JSON and OpenGL calls) to the Clipboard</translation>
    </message>
    <message>
        <source>複製</source>
        <translation type="vanished">Copy</translation>
    </message>
    <message>
        <source>套用剪貼簿中的平面設定 (影像不變)</source>
        <translation type="vanished">Apply the surface settings on the Clipboard (the image stays)</translation>
    </message>
    <message>
        <source>貼上</source>
        <translation type="vanished">Paste</translation>
    </message>
    <message>
        <source>將平面的 GLSL 330 core 著色器、頂點資料與繪製狀態複製到剪貼簿</source>
        <translation type="vanished">Copy the surface&apos;s GLSL 330 core shaders, vertex data and drawing state to the Clipboard</translation>
    </message>
    <message>
        <source>Copy as shader code</source>
        <translation type="vanished">Copy as shader code</translation>
    </message>
    <message>
        <source>顯示或隱藏工具列</source>
        <translation type="vanished">Show or hide the toolbar</translation>
    </message>
    <message>
        <source>切換工具列</source>
        <translation type="vanished">Toggle Toolbar</translation>
    </message>
    <message>
        <source>顯示或隱藏狀態列</source>
        <translation type="vanished">Show or hide the status bar</translation>
    </message>
    <message>
        <source>切換狀態列</source>
        <translation type="vanished">Toggle Status Bar</translation>
    </message>
    <message>
        <source>隱藏或顯示檢視列</source>
        <translation type="vanished">Show or hide the view bar</translation>
    </message>
    <message>
        <source>切換檢視列</source>
        <translation type="vanished">Toggle View Bar</translation>
    </message>
    <message>
        <source>顯示或隱藏屬性視窗</source>
        <translation type="vanished">Show or hide the Property window</translation>
    </message>
    <message>
        <source>切換屬性視窗</source>
        <translation type="vanished">Toggle Property Window</translation>
    </message>
    <message>
        <source>顯示或隱藏旗標視窗</source>
        <translation type="vanished">Show or hide the Flags window</translation>
    </message>
    <message>
        <source>切換旗標視窗</source>
        <translation type="vanished">Toggle Flags Window</translation>
    </message>
    <message>
        <source>顯示或隱藏色彩視窗</source>
        <translation type="vanished">Show or hide the Colors window</translation>
    </message>
    <message>
        <source>切換色彩視窗</source>
        <translation type="vanished">Toggle Colors Window</translation>
    </message>
    <message>
        <source>顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)</source>
        <translation type="vanished">Show the texture, sampling, colour and blending of the pixel under the pointer (or hold I)</translation>
    </message>
    <message>
        <source>像素探針</source>
        <translation type="vanished">Pixel Probe</translation>
    </message>
    <message>
        <source>以投影紋理座標繪製, 使影像的直線保持筆直</source>
        <translation type="vanished">Draw with projective texture coordinates so the image&apos;s straight lines stay straight</translation>
    </message>
    <message>
        <source>透視校正貼圖</source>
        <translation type="vanished">Perspective-Correct Texture</translation>
    </message>
    <message>
        <source>縮放並捲動檢視以顯示整個平面</source>
        <translation type="vanished">Zoom and scroll the view to show the whole surface</translation>
    </message>
    <message>
        <source>調整至視窗大小</source>
        <translation type="vanished">Fit to Window</translation>
    </message>
    <message>
        <source>顯示程式資訊、版本號碼及著作權</source>
        <translation type="vanished">Display program information, version number and copyright</translation>
    </message>
    <message>
        <source>關於</source>
        <translation type="vanished">About</translation>
    </message>
    <message>
        <source>開啟使用者指南</source>
        <translation type="vanished">Open the user guide</translation>
    </message>
    <message>
        <source>使用者指南</source>
        <translation type="vanished">User Guide</translation>
    </message>
    <message>
        <source>顯示或隱藏座標軸</source>
        <translation type="vanished">Show or hide the axes</translation>
    </message>
    <message>
        <source>座標軸</source>
        <translation type="vanished">Axes</translation>
    </message>
    <message>
        <source>顯示或隱藏外框與控制點</source>
        <translation type="vanished">Show or hide the outline and handles</translation>
    </message>
    <message>
        <source>外框與控制點</source>
        <translation type="vanished">Outline and Handles</translation>
    </message>
    <message>
        <source>放大檢視</source>
        <translation type="vanished">Zoom the view in</translation>
    </message>
    <message>
        <source>放大</source>
        <translation type="vanished">Zoom In</translation>
    </message>
    <message>
        <source>縮小檢視</source>
        <translation type="vanished">Zoom the view out</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation type="vanished">Zoom Out</translation>
    </message>
    <message>
        <source>以原始大小檢視</source>
        <translation type="vanished">View at actual size</translation>
    </message>
    <message>
        <source>原始大小</source>
        <translation type="vanished">Actual Size</translation>
    </message>
    <message>
        <source>檢視的縮放比例 (百分比)</source>
        <translation type="vanished">The view&apos;s zoom (percent)</translation>
    </message>
    <message>
        <source>縮放比例</source>
        <translation type="vanished">Zoom</translation>
    </message>
    <message>
        <source>將四個角點還原為預設位置</source>
        <translation type="vanished">Put the four corners back where they start</translation>
    </message>
    <message>
        <source>還原角點</source>
        <translation type="vanished">Reset Corners</translation>
    </message>
    <message>
        <source>不選取任何角點 (Esc)</source>
        <translation type="vanished">Choose no corner (Esc)</translation>
    </message>
    <message>
        <source>不選取角點</source>
        <translation type="vanished">No Corner</translation>
    </message>
    <message>
        <source>選取角點 0 (0)</source>
        <translation type="vanished">Choose corner 0 (0)</translation>
    </message>
    <message>
        <source>角點 0</source>
        <translation type="vanished">Corner 0</translation>
    </message>
    <message>
        <source>選取角點 1 (1)</source>
        <translation type="vanished">Choose corner 1 (1)</translation>
    </message>
    <message>
        <source>角點 1</source>
        <translation type="vanished">Corner 1</translation>
    </message>
    <message>
        <source>選取角點 2 (2)</source>
        <translation type="vanished">Choose corner 2 (2)</translation>
    </message>
    <message>
        <source>角點 2</source>
        <translation type="vanished">Corner 2</translation>
    </message>
    <message>
        <source>選取角點 3 (3)</source>
        <translation type="vanished">Choose corner 3 (3)</translation>
    </message>
    <message>
        <source>角點 3</source>
        <translation type="vanished">Corner 3</translation>
    </message>
    <message>
        <source>選取角點的 X 座標</source>
        <translation type="vanished">The chosen corner&apos;s X coordinate</translation>
    </message>
    <message>
        <source>X 座標</source>
        <translation type="vanished">X Coordinate</translation>
    </message>
    <message>
        <source>選取角點的 Y 座標</source>
        <translation type="vanished">The chosen corner&apos;s Y coordinate</translation>
    </message>
    <message>
        <source>Y 座標</source>
        <translation type="vanished">Y Coordinate</translation>
    </message>
    <message>
        <source>選取角點的 Z 座標</source>
        <translation type="vanished">The chosen corner&apos;s Z coordinate</translation>
    </message>
    <message>
        <source>Z 座標</source>
        <translation type="vanished">Z Coordinate</translation>
    </message>
    <message>
        <source>就緒</source>
        <translation type="vanished">Ready</translation>
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
        <translation type="vanished">Export Image</translation>
    </message>
    <message>
        <source>檢視大小 (%1 x %2)</source>
        <translation type="vanished">View size (%1 x %2)</translation>
    </message>
    <message>
        <source>自訂大小</source>
        <translation type="vanished">Custom size</translation>
    </message>
    <message>
        <source>寬度</source>
        <translation type="vanished">Width</translation>
    </message>
    <message>
        <source>高度</source>
        <translation type="vanished">Height</translation>
    </message>
    <message>
        <source>含棋盤格背景 (不含時背景透明)</source>
        <translation type="vanished">Checkerboard background (transparent without)</translation>
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
        <translation type="vanished">Window pixel %1, %2</translation>
    </message>
    <message>
        <source>不在平面上; 背景 %1</source>
        <translation type="vanished">Not on the surface; background %1</translation>
    </message>
    <message>
        <source>紋理座標 u %1, v %2</source>
        <translation type="vanished">Texture coordinates u %1, v %2</translation>
    </message>
    <message>
        <source>紋素 %1, %2</source>
        <translation type="vanished">Texel %1, %2</translation>
    </message>
    <message>
        <source> (第 %1 層)</source>
        <translation type="vanished"> (level %1)</translation>
    </message>
    <message>
        <source>紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色</source>
        <translation type="vanished">Texture incomplete (no image or missing mipmaps): not textured, corner colours only</translation>
    </message>
    <message>
        <source>取樣 %1 (%2)</source>
        <translation type="vanished">Sampled %1 (%2)</translation>
    </message>
    <message>
        <source>放大</source>
        <translation type="vanished">magnified</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation type="vanished">minified</translation>
    </message>
    <message>
        <source> 不被 OpenGL 接受</source>
        <translation type="vanished"> not accepted by OpenGL</translation>
    </message>
    <message>
        <source>角點顏色內插  RGBA %1</source>
        <translation type="vanished">Corner colour interpolated  RGBA %1</translation>
    </message>
    <message>
        <source>來源 = 取樣 x 角點顏色  RGBA %1</source>
        <translation type="vanished">Source = sampled x corner colour  RGBA %1</translation>
    </message>
    <message>
        <source>混合 %1 x %2 + %3 x %4</source>
        <translation type="vanished">Blend %1 x %2 + %3 x %4</translation>
    </message>
    <message>
        <source>來源</source>
        <translation type="vanished">source</translation>
    </message>
    <message>
        <source>目的</source>
        <translation type="vanished">destination</translation>
    </message>
    <message>
        <source> 不被 OpenGL 接受, 沿用 GL_ONE x GL_ZERO</source>
        <translation type="vanished"> not accepted by OpenGL, GL_ONE x GL_ZERO used instead</translation>
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
        <translation type="vanished">Paste</translation>
    </message>
</context>
<context>
    <name>SurfaceTools</name>
    <message>
        <source>匯出影像</source>
        <translation type="vanished">Export Image</translation>
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
        <translation type="vanished">Exported the image to %1</translation>
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
