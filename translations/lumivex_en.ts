<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
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
