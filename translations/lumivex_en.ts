<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>GreyDepth</name>
    <message>
        <source>グレースケールの深度画像です。滑らかな深さで使いますか、16段階の深さに変換しますか？<byte value="xd"/>
<byte value="xd"/>
「そのまま」は画像を深さの色として読みます。グレーは黒・灰・銀・白の4段階の深さに切られ、滑らかにはなりません。</source>
        <translation>This is a greyscale depth map. Use it as smooth depth, or convert it to the sixteen depth levels?<byte value="xd"/>
<byte value="xd"/>
&quot;Use as is&quot; reads the picture as depth colours: its greys are cut into four depths (black, grey, silver and white), not smooth depth.</translation>
    </message>
    <message>
        <source>滑らかな深さで使う</source>
        <translation>Use smooth depth</translation>
    </message>
    <message>
        <source>16段階に変換</source>
        <translation>Convert to 16 levels</translation>
    </message>
    <message>
        <source>そのまま</source>
        <translation>Use as is</translation>
    </message>
</context>
<context>
    <name>Picture</name>
    <message>
        <source>次の画像は大きすぎて、メモリーに読み込めません。<byte value="xd"/>
%1</source>
        <translation>This picture is too large to load into memory:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>次の画像は大きすぎて、メモリーに読み込めません（%1×%2 ピクセル）。<byte value="xd"/>
%3</source>
        <translation>This picture is too large to load into memory (%1 × %2 pixels):<byte value="xd"/>
%3</translation>
    </message>
    <message>
        <source>ファイルを開けません。</source>
        <translation>The file cannot be opened.</translation>
    </message>
    <message>
        <source>通常のファイルではありません。</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message>
        <source>BMP、JPEG、GIF、PNG、WMFのどの形式でもありません。</source>
        <translation>It is not in any of the formats BMP, JPEG, GIF, PNG or WMF.</translation>
    </message>
    <message>
        <source>ファイルが途中で切れています。</source>
        <translation>The file is cut short.</translation>
    </message>
    <message>
        <source>画像の幅が大きすぎます。</source>
        <translation>The picture is too wide.</translation>
    </message>
    <message>
        <source>ファイルが壊れています。</source>
        <translation>The file is damaged.</translation>
    </message>
    <message>
        <source>次のファイルは画像として読み込めません。<byte value="xd"/>
%1<byte value="xd"/>
%2</source>
        <translation>This file cannot be read as a picture:<byte value="xd"/>
%1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>すべてのファイル(*.bmp *.jpg *.gif *.wmf *.png *.jpeg);;BMP(*.bmp);;JPEG(*.jpg *.jpeg);;GIF(*.gif);;WMF(*.wmf);;PNG(*.png)</source>
        <translation>All Pictures (*.bmp *.jpg *.gif *.wmf *.png *.jpeg);;BMP (*.bmp);;JPEG (*.jpg *.jpeg);;GIF (*.gif);;WMF (*.wmf);;PNG (*.png)</translation>
    </message>
</context>
<context>
    <name>lumivex::docwindow::PrintResolution</name>
    <message>
        <source>変換するデザイン画像と繰返幅がありません。</source>
        <translation>There is no design picture and repeat width to convert.</translation>
    </message>
    <message>
        <source>メモリーが足りません。</source>
        <translation>There is not enough memory.</translation>
    </message>
</context>
<context>
    <name>Printer</name>
    <message>
        <source>PDF ファイルに印刷</source>
        <translation>Print to a PDF File</translation>
    </message>
    <message>
        <source>PDF ファイル (*.pdf)</source>
        <translation>PDF file (*.pdf)</translation>
    </message>
    <message>
        <source>印刷する画像がありません。</source>
        <translation>There is no picture to print.</translation>
    </message>
    <message>
        <source>プリンタが設定されていません。</source>
        <translation>No printer is set up.</translation>
    </message>
    <message>
        <source>プリンタを使用できません。</source>
        <translation>The printer cannot be used.</translation>
    </message>
    <message>
        <source>印刷中にエラーが発生しました。</source>
        <translation>An error occurred while printing.</translation>
    </message>
    <message>
        <source>繰返幅が %1 mm です。%2 mm を超えると裸眼では立体に見えません。</source>
        <translation>The repeat width is %1 mm. Over %2 mm it cannot be free-viewed.</translation>
    </message>
    <message>
        <source>繰返幅が %1 mm です。%2 mm 未満では細かすぎて立体に見えにくくなります。</source>
        <translation>The repeat width is %1 mm. Under %2 mm it is too fine to be seen in depth easily.</translation>
    </message>
</context>
<context>
    <name>ProjectFiles</name>
    <message>
        <source>Vexmakerﾌｧｲﾙ(*.lvd)</source>
        <translation>Vexmaker Files (*.lvd)</translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>Lumivex</source>
        <translation>Lumivex</translation>
    </message>
    <message>
        <source>ｴﾗｰ番号 %1%2 でｴﾗｰが発生しました。<byte value="xd"/>
%3</source>
        <extracomment>%1 the error number after a blank, %2 where it happened, %3 the description, %4 the number alone</extracomment>
        <translation>Error %4 occurred in %2.<byte value="xd"/>
%3</translation>
    </message>
</context>
<context>
    <name>RevealDesign</name>
    <message>
        <source>ステレオ画像が小さすぎるため、深さを読み取れません。<byte value="xd"/>
幅が%1ピクセル以上の画像が必要です。</source>
        <translation>The stereo picture is too small to read its depth from.<byte value="xd"/>
A picture at least %1 pixels wide is needed.</translation>
    </message>
    <message>
        <source>ステレオ画像に横方向の繰り返しが見つからないため、深さを読み取れません。</source>
        <translation>No horizontal repeat was found in the stereo picture, so its depth cannot be read.</translation>
    </message>
    <message>
        <source>ステレオ画像がありません。</source>
        <translation>There is no stereo picture.</translation>
    </message>
    <message>
        <source>繰返幅 %1 で深さを読み取りました。</source>
        <translation>Depth read at repeat width %1.</translation>
    </message>
    <message>
        <source>繰返幅 %1 で深さを読み取りましたが、繰り返しがはっきりしないため、深さが違っているかもしれません。</source>
        <translation>Depth read at repeat width %1, but the picture does not show its repeat clearly: the depth may be wrong.</translation>
    </message>
</context>
<context>
    <name>lumivex::docwindow::DepthCheck</name>
    <message>
        <source>繰返幅が%1では画像ができません。繰返幅を1以上にしてください。</source>
        <translation>A repeat width of %1 gives no picture. Use a repeat width of 1 or more.</translation>
    </message>
    <message>
        <source>立体度%1では、デザイン画像の最も手前の深さが%2ピクセルずれて繰返幅%3以上になり、画像ができません。使える立体度は%4までです（または繰返幅を%5以上にしてください）。</source>
        <comment>%1 the strength, %2 the shift in pixels, %3 the repeat width, %4 the largest usable strength, %5 the smallest usable repeat width</comment>
        <translation>Strength %1 shifts the nearest depth of the design picture by %2 pixels, not less than the repeat width %3, which gives no picture. The largest usable strength is %4 (or use a repeat width of %5 or more).</translation>
    </message>
</context>
<context>
    <name>lumivex::docwindow::DocumentWindow</name>
    <message>
        <source>ランダムドット変換中です。しばらくお待ちください...</source>
        <translation>Converting to random dot. Please wait...</translation>
    </message>
    <message>
        <source>ランダムドット変換を中断しています...</source>
        <translation>Random dot conversion paused...</translation>
    </message>
    <message>
        <source>カラーフィールド変換中です。しばらくお待ちください...</source>
        <translation>Converting to colour field. Please wait...</translation>
    </message>
    <message>
        <source>カラーフィールド変換を中断しています...</source>
        <translation>Colour field conversion paused...</translation>
    </message>
    <message>
        <source>デザイン画像</source>
        <translation>Design Picture</translation>
    </message>
    <message>
        <source>フィールド画像</source>
        <translation>Field Picture</translation>
    </message>
    <message>
        <source>ステレオアート画像</source>
        <translation>Stereo Picture</translation>
    </message>
    <message>
        <source>「%1」を保存しますか？</source>
        <translation>Do you want to save &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>「%1」を上書き保存しますか？</source>
        <translation>Do you want to save the changes to &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>次のファイルを保存した時の内容に戻せませんでした。<byte value="xd"/>
%1</source>
        <translation>This file could not be put back as it was last saved:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>次のファイルに保存できませんでした。<byte value="xd"/>
%1<byte value="xd"/>
%2</source>
        <translation>Could not save to this file:<byte value="xd"/>
%1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>印刷できませんでした。<byte value="xd"/>
%1</source>
        <translation>Could not print.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>デザイン画像が大きすぎます。<byte value="xd"/>
幅を1024ピクセル以下にしてください。</source>
        <translation>The design picture is too large.<byte value="xd"/>
Use a picture at most 1024 pixels wide.</translation>
    </message>
    <message>
        <source>フィールド画像が大きすぎます。<byte value="xd"/>
幅を1024ピクセル以下にしてください。</source>
        <translation>The field picture is too large.<byte value="xd"/>
Use a picture at most 1024 pixels wide.</translation>
    </message>
    <message>
        <source>ステレオ画像が大きすぎます。<byte value="xd"/>
幅を1024ピクセル以下にしてください。</source>
        <translation>The stereo picture is too large.<byte value="xd"/>
Use a picture at most 1024 pixels wide.</translation>
    </message>
    <message>
        <source>「%1」は既に存在します。<byte value="xd"/>
上書きしますか？</source>
        <translation>&quot;%1&quot; already exists.<byte value="xd"/>
Do you want to replace it?</translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>パスが見つかりません。</source>
        <translation>Path not found.</translation>
    </message>
    <message>
        <source>ステレオ画像は %1 × %2（フィールド画像の大きさ）になります。</source>
        <translation>The stereo picture will be %1 × %2, the field picture&apos;s size.</translation>
    </message>
    <message>
        <source>%1 に印刷しました（%2 ページ）。</source>
        <extracomment>%1 the printer&apos;s name, %2 the number of pages</extracomment>
        <translation>Printed on %1 (pages: %2).</translation>
    </message>
    <message>
        <source>次の画像が見つからないか、読み込めませんでした。<byte value="xd"/>
%1</source>
        <translation>These pictures are missing or cannot be read:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>次のファイルに書き込めませんでした。このドキュメントの変更はファイルに残りません。<byte value="xd"/>
%1<byte value="xd"/>
%2</source>
        <translation>Could not write to this file; the document&apos;s changes are not kept in it:<byte value="xd"/>
%1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>ステレオ画像 %1×%2（フィールドの大きさ）</source>
        <translation>Stereo picture: %1 × %2 (field size)</translation>
    </message>
    <message>
        <source>ファイルにない画像は保存されません（%1 枚）</source>
        <translation>Pictures in no file are not kept (%1)</translation>
    </message>
    <message>
        <source>ファイルにない画像はプロジェクトに保存されません：%1</source>
        <translation>Pictures that are in no file are not kept by the project: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>lumivex::docwindow::PrintPreviewDialog</name>
    <message>
        <source>印刷プレビュー</source>
        <translation>Print Preview</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>プリンタと用紙</source>
        <translation>Printer and paper</translation>
    </message>
    <message>
        <source>プリンタの設定...</source>
        <translation>Choose Prin&amp;ter...</translation>
    </message>
    <message>
        <source>縦</source>
        <translation>Portrait</translation>
    </message>
    <message>
        <source>横</source>
        <translation>Landscape</translation>
    </message>
    <message>
        <source>向き</source>
        <translation>Orientation</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>画面の大きさ</source>
        <translation>As on &amp;screen</translation>
    </message>
    <message>
        <source>用紙に合わせる</source>
        <translation>&amp;Fit to paper</translation>
    </message>
    <message>
        <source>繰返幅</source>
        <translation>&amp;Repeat width</translation>
    </message>
    <message>
        <source>（プリンタがありません）</source>
        <translation>(no printer)</translation>
    </message>
    <message>
        <source>%1 mm</source>
        <translation>%1 mm</translation>
    </message>
    <message>
        <source>不明</source>
        <extracomment>the repeat width of a stereo picture whose repeat was not found</extracomment>
        <translation>unknown</translation>
    </message>
    <message>
        <source>繰返幅 %1
画像 %2 × %3 mm
%4 ページ</source>
        <extracomment>%1 the repeat width on paper (&quot;30.0 mm&quot; or 不明), %2 × %3 the picture&apos;s size on paper, %4 the pages</extracomment>
        <translation>Repeat width %1
Picture %2 × %3 mm
Pages: %4</translation>
    </message>
    <message>
        <source>PDF ファイル</source>
        <translation>PDF file</translation>
    </message>
    <message>
        <source>（印刷するときにファイル名を尋ねます）</source>
        <translation>(the file name is asked when printing)</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>印刷解像度で変換</source>
        <translation>Con&amp;vert at print resolution</translation>
    </message>
    <message>
        <source>デザイン画像から、印刷に合う細かさ（%1 dpi）のステレオ画像を作って印刷します。文書の画像は変わりません。</source>
        <translation>Makes a stereo picture as fine as print needs (%1 dpi) from the design picture and prints it. The document&apos;s pictures do not change.</translation>
    </message>
    <message>
        <source>解像度 %1 dpi（印刷解像度で変換）</source>
        <extracomment>%1 the picture&apos;s pixels per inch on paper</extracomment>
        <translation>Resolution %1 dpi (converted for print)</translation>
    </message>
    <message>
        <source>解像度 %1 dpi</source>
        <translation>Resolution %1 dpi</translation>
    </message>
    <message>
        <source>印刷解像度で変換しています...</source>
        <translation>Converting at print resolution...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>印刷解像度で変換できませんでした。<byte value="xd"/>
%1</source>
        <translation>Could not convert at print resolution.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>（横 %1 × 縦 %2 枚、重なり %3 mm）</source>
        <extracomment>%1 columns, %2 rows, %3 the overlap in mm</extracomment>
        <translation> (%1 across × %2 down, overlapping by %3 mm)</translation>
    </message>
    <message>
        <source>%1 ページは多すぎます。小さくしてください。</source>
        <translation>%1 pages are too many. Choose a smaller size.</translation>
    </message>
</context>
<context>
    <name>PictureFit</name>
    <message>
        <source>幅1024ピクセルに縮小して使いますか？（%1 × %2 → %3 × %4）<byte value="xd"/>
プロジェクトには元の画像の場所と縮小が保存されます。</source>
        <comment>%1 × %2 the picture&apos;s size, %3 × %4 its size brought down</comment>
        <translation>Bring it down to 1024 pixels wide and use it? (%1 × %2 → %3 × %4)<byte value="xd"/>
The project keeps the original picture&apos;s place and the scale.</translation>
    </message>
    <message>
        <source>画面には幅1024ピクセルに縮小して表示しますか？（%1 × %2 → %3 × %4）<byte value="xd"/>
印刷と画像の保存には元の大きさの画像を使います。</source>
        <comment>%1 × %2 the picture&apos;s size, %3 × %4 its size brought down</comment>
        <translation>Show it brought down to 1024 pixels wide? (%1 × %2 → %3 × %4)<byte value="xd"/>
Printing and saving the picture use it at its own size.</translation>
    </message>
    <message>
        <source>縮小して使う</source>
        <translation>Bring down</translation>
    </message>
    <message>
        <source>縮小して表示</source>
        <translation>Show brought down</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>デザイン画像（%1 × %2）は %3 × %4 に縮小して使っています。</source>
        <comment>%1 × %2 the picture file&apos;s size, %3 × %4 the size shown</comment>
        <translation>The design picture (%1 × %2) is used brought down to %3 × %4.</translation>
    </message>
    <message>
        <source>ステレオ画像（%1 × %2）は %3 × %4 に縮小して表示しています。</source>
        <comment>%1 × %2 the picture file&apos;s size, %3 × %4 the size shown</comment>
        <translation>The stereo picture (%1 × %2) is shown brought down to %3 × %4.</translation>
    </message>
</context>
<context>
    <name>lumivex::shell::HelpWindow</name>
    <message>
        <source>使い方など</source>
        <translation>How to Use</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>ブラウザで開く</source>
        <translation>Open in Browser</translation>
    </message>
    <message>
        <source>ブラウザを起動できませんでした。</source>
        <translation>The browser could not be started.</translation>
    </message>
    <message>
        <source>ページ内を検索 (Ctrl+F)</source>
        <translation>Find in page (Ctrl+F)</translation>
    </message>
    <message>
        <source>次へ</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>前へ</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>開けませんでした：%1</source>
        <translation>Could not open: %1</translation>
    </message>
</context>
<context>
    <name>lumivex::shell::StereoViewer</name>
    <message>
        <source>立体で見る</source>
        <translation>See in 3-D</translation>
    </message>
    <message>
        <source>アナグリフ</source>
        <translation>Anaglyph</translation>
    </message>
    <message>
        <source>並べて（平行法）</source>
        <translation>Side by side (parallel)</translation>
    </message>
    <message>
        <source>並べて（交差法）</source>
        <translation>Side by side (crossed)</translation>
    </message>
    <message>
        <source>ウィグル</source>
        <translation>Wiggle</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source> ピクセル</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>視差</source>
        <translation>Disparity</translation>
    </message>
    <message>
        <source>ウィグルの視点</source>
        <translation>Wiggle views</translation>
    </message>
    <message>
        <source>立体で見る画像の保存</source>
        <translation>Save the 3-D picture</translation>
    </message>
    <message>
        <source>アニメーション PNG (*.png)</source>
        <translation>Animated PNG (*.png)</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>%1 を保存できませんでした。
%2</source>
        <translation>Could not save %1.
%2</translation>
    </message>
</context>
<context>
    <name>lumivex::docwindow::DocumentViews</name>
    <message>
        <source>立体画像から奥行きを読み取れませんでした。</source>
        <translation>No depth could be read from the stereo picture.</translation>
    </message>
    <message>
        <source>立体で見る画像がありません。デザイン画像を挿入するか、変換してください。</source>
        <translation>There is nothing to see in 3-D. Insert a design picture, or convert one.</translation>
    </message>
</context>
<context>
    <name>lumivex::shell::StereoCheckWindow</name>
    <message>
        <source>立体の確認</source>
        <translation>Check the 3-D picture</translation>
    </message>
    <message>
        <source>確認する画像がありません。デザイン画像（カラーフィールドではフィールド画像も）を挿入してください。</source>
        <translation>There is no picture to check. Insert a design picture (and for a colour field, a field picture too).</translation>
    </message>
    <message>
        <source>1ピクセル刻み</source>
        <translation>steps of 1 pixel</translation>
    </message>
    <message>
        <source>1/%1ピクセル刻み</source>
        <translation>steps of 1/%1 pixel</translation>
    </message>
    <message>
        <source>表せる奥行き：%1 段階（間隔は%2）</source>
        <extracomment>%1 the number of distinct depths, %2 the steps of the separations</extracomment>
        <translation>Depths it can show: %1 (separations in %2)</translation>
    </message>
    <message>
        <source>最も遠い面の間隔：%1 ピクセル</source>
        <translation>Far separation: %1 pixels</translation>
    </message>
    <message>
        <source>最も近い面の間隔：%1 ピクセル</source>
        <translation>Near separation: %1 pixels</translation>
    </message>
    <message>
        <source>最も小さい奥行きの差：%1 秒角（%2 mm 離れて見たとき、両目の間隔 %3 mm、%4 dpi の画面で）</source>
        <extracomment>%1 arcseconds, %2 the viewing distance, %3 the distance between the eyes, %4 the screen resolution</extracomment>
        <translation>Smallest depth step: %1 arcseconds (seen from %2 mm, eyes %3 mm apart, pixels at %4 dpi)</translation>
    </message>
    <message>
        <source>片目にしか見えない部分：%1 %</source>
        <translation>Seen by one eye only: %1 % of the picture</translation>
    </message>
    <message>
        <source>注意：最も近い面の間隔が最も遠い面の間隔の半分以下です。近い面の 2 回のくり返しが遠い面の 1 回と重なって、二重像が見えます。</source>
        <translation>Warning: the near separation is at most half the far one. Two near repeats fuse as one far repeat: double images.</translation>
    </message>
    <message>
        <source>印刷の解像度は分からないので、間隔はピクセルで示します。</source>
        <translation>The printer's resolution is not known here, so separations are given in pixels.</translation>
    </message>
</context>
<context>
    <name>lumivex::shell::MainWindow</name>
    <message>
        <source>画像をクリップボードに置けませんでした。</source>
        <translation>The picture could not be put on the clipboard.</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>深さを見る</source>
        <translation>Show &amp;Depth</translation>
    </message>
    <message>
        <source>全体表示</source>
        <translation>&amp;Full View</translation>
    </message>
    <message>
        <source>ガイドを付ける</source>
        <translation>&amp;Guide Marks</translation>
    </message>
    <message>
        <source>自動変換</source>
        <translation>&amp;Live Conversion</translation>
    </message>
    <message>
        <source>奥行きを反転</source>
        <translation>&amp;Invert depth</translation>
    </message>
    <message>
        <source>立体の確認…</source>
        <translation>&amp;Check the 3-D picture…</translation>
    </message>
    <message>
        <source>立体で見る</source>
        <translation>See in &amp;3-D</translation>
    </message>
    <message>
        <source>アナグリフ</source>
        <translation>&amp;Anaglyph</translation>
    </message>
    <message>
        <source>並べて（平行法）</source>
        <translation>Side by side (&amp;parallel)</translation>
    </message>
    <message>
        <source>並べて（交差法）</source>
        <translation>Side by side (&amp;crossed)</translation>
    </message>
    <message>
        <source>ウィグル</source>
        <translation>&amp;Wiggle</translation>
    </message>
    <message>
        <source>ウインドウに合わせる</source>
        <translation>Fit to &amp;Window</translation>
    </message>
    <message>
        <source>メモリが不足しています。</source>
        <translation>Out of memory.</translation>
    </message>
    <message>
        <source>内部エラーです。</source>
        <translation>Internal error.</translation>
    </message>
    <message>
        <source>実行ファイル(*)</source>
        <translation>Programs (*)</translation>
    </message>
    <message>
        <source>エディタが設定されていません...</source>
        <translation>No editor has been chosen yet...</translation>
    </message>
    <message>
        <source>エディタが見つかりません。</source>
        <translation>The editor cannot be found:</translation>
    </message>
    <message>
        <source>エディタを起動できませんでした。</source>
        <translation>The editor could not be started:</translation>
    </message>
    <message>
        <source>ヘルプページが見つかりません。</source>
        <translation>The help page cannot be found:</translation>
    </message>
    <message>
        <source>ヘルプページを開けませんでした。ブラウザで次のファイルを開いてください。</source>
        <translation>The help page could not be opened. Open this file in a web browser:</translation>
    </message>
    <message>
        <source>継続</source>
        <translation>&amp;Continue</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>カラーフィールド&#x3000;ウイザード</source>
        <translation>Colour Field &amp;Wizard</translation>
    </message>
    <message>
        <source>カラーフィールド</source>
        <translation>Colour &amp;Field</translation>
    </message>
    <message>
        <source>ランダムドット（カラー）</source>
        <translation>Random Dot (&amp;Colour)</translation>
    </message>
    <message>
        <source>ランダムドット（モノクロ）</source>
        <translation>Random Dot (&amp;Monochrome)</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>上書き保存</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save &amp;As</translation>
    </message>
    <message>
        <source>画像の保存</source>
        <translation>Save Pic&amp;ture</translation>
    </message>
    <message>
        <source>デザイン画像</source>
        <translation>&amp;Design Picture</translation>
    </message>
    <message>
        <source>フィールド画像</source>
        <translation>&amp;Field Picture</translation>
    </message>
    <message>
        <source>ステレオアート画像</source>
        <translation>&amp;Stereo Picture</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>エディタ</source>
        <translation>E&amp;ditor</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>&amp;Choose</translation>
    </message>
    <message>
        <source>起動</source>
        <translation>&amp;Launch</translation>
    </message>
    <message>
        <source>切り取り</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>消去</source>
        <translation>Cle&amp;ar</translation>
    </message>
    <message>
        <source>挿入(&amp;I)</source>
        <translation>&amp;Insert</translation>
    </message>
    <message>
        <source>ステレオ画像</source>
        <translation>&amp;Stereo Picture</translation>
    </message>
    <message>
        <source>変換(&amp;R)</source>
        <translation>Conve&amp;rt</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>&amp;Abort</translation>
    </message>
    <message>
        <source>ウィンドウ(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>&amp;Version Information</translation>
    </message>
    <message>
        <source>使い方など</source>
        <translation>&amp;How to Use</translation>
    </message>
    <message>
        <source>新規作成（カラーフィールド&#x3000;ウィザード）</source>
        <translation>New (Colour Field Wizard)</translation>
    </message>
    <message>
        <source>挿入（デザイン画像）</source>
        <translation>Insert (Design Picture)</translation>
    </message>
    <message>
        <source>カラーフィールド&#x3000;ウィザード</source>
        <translation>Colour Field &amp;Wizard</translation>
    </message>
    <message>
        <source>繰返幅</source>
        <translation>Repeat width</translation>
    </message>
    <message>
        <source>立体度</source>
        <translation>Depth strength</translation>
    </message>
    <message>
        <source>密度</source>
        <translation>Density</translation>
    </message>
    <message>
        <source>画像サイズ</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>デバイスが準備されていません。</source>
        <translation>Device unavailable.</translation>
    </message>
    <message>
        <source>パスが見つかりません。</source>
        <translation>Path not found.</translation>
    </message>
    <message>
        <source>パス名が無効です。</source>
        <translation>Bad file name.</translation>
    </message>
    <message>
        <source>デザイン画像が大きすぎます。<byte value="xd"/>
幅を1024ピクセル以下にしてください。</source>
        <translation>The design picture is too large.<byte value="xd"/>
Use a picture at most 1024 pixels wide.</translation>
    </message>
    <message>
        <source>繰返幅が%1では画像ができません。繰返幅を大きくしてください。</source>
        <translation>A repeat width of %1 gives no picture. Make the repeat width larger.</translation>
    </message>
    <message>
        <source>最も手前の深さのずれ（%1ピクセル）が繰返幅（%2）以上になり、画像ができません。立体度を%3以下にするか、繰返幅を%4以上にしてください。</source>
        <extracomment>%1 the shift in pixels, %2 the repeat width, %3 the largest usable depth strength, %4 the smallest usable repeat width</extracomment>
        <translation>The nearest depth is shifted %1 pixels, as far as the repeat width (%2) or further, which gives no picture. Set the depth strength to %3 or less, or the repeat width to %4 or more.</translation>
    </message>
    <message>
        <source>「%1」はプロジェクトファイルではありません。</source>
        <translation>&quot;%1&quot; is not a project file.</translation>
    </message>
    <message>
        <source>印刷プレビュー...</source>
        <translation>Print Pre&amp;view...</translation>
    </message>
</context>
<context>
    <name>lumivex::shell::ValueBox</name>
    <message>
        <source>%1 は範囲外（%2～%3）：%4 にしました</source>
        <translation>%1 is out of range (%2–%3): %4 taken</translation>
    </message>
</context>
<context>
    <name>lumivex::shell::VersionBox</name>
    <message>
        <source>バージョン情報</source>
        <translation>Version Information</translation>
    </message>
    <message>
        <source>ステレオグラム作成ソフト</source>
        <translation>Stereogram maker</translation>
    </message>
</context>
<context>
    <name>lumivex::wizard::WizardDialog</name>
    <message>
        <source>%1×%2&#x3000;ピクセル</source>
        <translation>%1 × %2 pixels</translation>
    </message>
    <message>
        <source>カラーフィールド&#x3000;ウィザード</source>
        <translation>Colour Field Wizard</translation>
    </message>
    <message>
        <source>&lt;  戻る</source>
        <translation>&lt; Back</translation>
    </message>
    <message>
        <source>次へ &gt;</source>
        <translation>Next &gt;</translation>
    </message>
    <message>
        <source>完了</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>デザイン画像を指定してください...</source>
        <translation>Choose the design picture...</translation>
    </message>
    <message>
        <source>フィールド画像の元となる画像を指定してください...</source>
        <translation>Choose the picture to make the field picture from...</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>繰り返し幅（ピクセル）を指定してください。（通常は、右の値でOKです）</source>
        <translation>Enter the repeat width in pixels. (The value on the right is usually fine.)</translation>
    </message>
    <message>
        <source>立体度を指定してください。（0～50）</source>
        <translation>Enter the depth strength (0 to 50).</translation>
    </message>
    <message>
        <source>デザイン画像の大きさ </source>
        <translation>Size of the design picture </translation>
    </message>
    <message>
        <source>フィールド画像の元となる画像の大きさ </source>
        <translation>Size of the picture for the field picture </translation>
    </message>
    <message>
        <source>繰り返し幅 </source>
        <translation>Repeat width </translation>
    </message>
    <message>
        <source>立体度</source>
        <translation>Depth strength</translation>
    </message>
    <message>
        <source>以上でよろしければ、完了ボタンをクリックしてください。</source>
        <translation>If all this is right, click Finish.</translation>
    </message>
    <message>
        <source>%1&#x3000;ピクセル</source>
        <translation>%1 pixels</translation>
    </message>
    <message>
        <source>一時ファイルを書き込めません。<byte value="xd"/>
</source>
        <translation>Cannot write the temporary files to this folder:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>繰り返し幅が大きすぎます。<byte value="xd"/>
幅を200ピクセル以下にしてください。</source>
        <translation>The repeat width is too large.<byte value="xd"/>
Make it 200 pixels or less.</translation>
    </message>
    <message>
        <source>0～200までの数値を入力してください。</source>
        <translation>Enter a number from 0 to 200.</translation>
    </message>
    <message>
        <source>立体度の数値が大きすぎます。<byte value="xd"/>
数値を50以下にしてください。</source>
        <translation>The depth strength is too large.<byte value="xd"/>
Make it 50 or less.</translation>
    </message>
    <message>
        <source>0～50までの数値を入力してください。</source>
        <translation>Enter a number from 0 to 50.</translation>
    </message>
    <message>
        <source>画像サイズ&#x3000;%1×%2  ピクセル</source>
        <translation>Picture size: %1 × %2 pixels</translation>
    </message>
    <message>
        <source>デザイン画像が大きすぎます。<byte value="xd"/>
幅を1024ピクセル以下にしてください。</source>
        <translation>The design picture is too large.<byte value="xd"/>
Use a picture at most 1024 pixels wide.</translation>
    </message>
    <message>
        <source>フィールド画像の元となる画像が大きすぎます。<byte value="xd"/>
幅を200ピクセル以下にしてください。</source>
        <translation>The picture for the field picture is too large.<byte value="xd"/>
Use a picture at most 200 pixels wide.</translation>
    </message>
</context>
</TS>
