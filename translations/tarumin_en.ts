<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Adapter</name>
    <message>
        <source>機種の ROM が足りません。ROM を入れてください。</source>
        <translation>The machine's ROMs are missing. Install them.</translation>
    </message>
    <message>
        <source>この機種にはディスクドライブがありません。</source>
        <translation>This machine has no disk drive.</translation>
    </message>
    <message>
        <source>ディスクのイメージを読めません（壊れているか、ディスクのイメージではありません）。</source>
        <translation>Cannot read the disk image (it is damaged, or not a disk image).</translation>
    </message>
    <message>
        <source>テープのイメージを読めません（壊れているか、テープのイメージではありません）。</source>
        <translation>Cannot read the tape image (it is damaged, or not a tape image).</translation>
    </message>
    <message>
        <source>画面を開けません。デスクトップの中で起動してください。</source>
        <translation>Cannot open a screen. Start it from within a desktop.</translation>
    </message>
    <message>
        <source>この ROM を知りません（ROM の種類がわかりません）。</source>
        <translation>This ROM is not known (its type cannot be told).</translation>
    </message>
    <message>
        <source>ゲームのファイルを開けません。</source>
        <translation>Cannot open the game's file.</translation>
    </message>
    <message>
        <source>エミュレータがゲームを起動できませんでした。</source>
        <translation>The emulator could not start the game.</translation>
    </message>
    <message>
        <source>openMSX は ROM を %1/systemroms と /usr/share/openmsx/systemroms で探します</source>
        <translation>openMSX looks for ROMs in %1/systemroms and /usr/share/openmsx/systemroms</translation>
    </message>
    <message>
        <source>エミュレータ「%1」はわかりません（openmsx か mame）。見つかったものを使います。</source>
        <translation>The emulator “%1” is not known (openmsx or mame). The one found is used.</translation>
    </message>
    <message>
        <source>MAME は ROM を %1 で探します</source>
        <translation>MAME looks for ROMs in %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>ディスクドライブのある</source>
        <translation> with a disk drive</translation>
    </message>
    <message>
        <source>カセットのつなげる</source>
        <translation> with a cassette port</translation>
    </message>
    <message>
        <source>%1%2 の日本の機種の ROM がありません（MAME の %3 などの機種）。%4。</source>
        <translation>No ROMs of a Japanese %2 machine%1 (MAME's %3 and others). %4.</translation>
    </message>
    <message>
        <source>cf2000、hb10</source>
        <translation>cf2000, hb10</translation>
    </message>
    <message>
        <source>fsa1、hbf1xd</source>
        <translation>fsa1, hbf1xd</translation>
    </message>
    <message>
        <source>FM-PAC: MAME の ROM の場所に msx1_cart の fmpac がないため、FM-PAC なしで %1 を起動します。</source>
        <translation>FM-PAC: MAME's ROM folders hold no msx1_cart fmpac, so %1 starts without the FM-PAC.</translation>
    </message>
    <message>
        <source>MAME（%1）を起動できません。</source>
        <translation>Cannot start MAME (%1).</translation>
    </message>
    <message>
        <source>MAME（%1）の日本の MSX %2 機種のうち、ROM のあるもの: %3 機種</source>
        <translation>Of MAME (%1)'s %2 Japanese MSX machines, with ROMs: %3</translation>
    </message>
    <message>
        <source>  %1（%2%3%4%5）</source>
        <translation>  %1 (%2%3%4%5)</translation>
    </message>
    <message>
        <source>、ディスク</source>
        <translation>, disk</translation>
    </message>
    <message>
        <source>、テープ</source>
        <translation>, tape</translation>
    </message>
    <message>
        <source>、FM 音源</source>
        <translation>, FM sound</translation>
    </message>
    <message>
        <source>、MSX-MUSIC</source>
        <translation>, MSX-MUSIC</translation>
    </message>
    <message>
        <source>openMSX の日本の機種 %1 台のうち、起動できるもの: %2 台</source>
        <translation>Of openMSX's %1 Japanese machines, usable: %2</translation>
    </message>
    <message>
        <source>カートリッジ</source>
        <translation>cartridge</translation>
    </message>
    <message>
        <source>テープ</source>
        <translation>tape</translation>
    </message>
    <message>
        <source>ディスク</source>
        <translation>disk</translation>
    </message>
    <message>
        <source>＋FM-PAC</source>
        <translation> + FM-PAC</translation>
    </message>
    <message>
        <source>%1: %2（環境変数 %3）</source>
        <translation>%1: %2 (environment variable %3)</translation>
    </message>
    <message>
        <source>%1: %2（無料の C-BIOS）</source>
        <translation>%1: %2 (the free C-BIOS)</translation>
    </message>
    <message>
        <source>: 起動できません。この条件に合う日本の機種の設定が openMSX にありません。</source>
        <translation>: cannot start. openMSX has no Japanese machine set up for this.</translation>
    </message>
    <message>
        <source>%1: 起動できません。いちばん先に選ぶ機種 %2 の ROM がありません%3。%4。</source>
        <translation>%1: cannot start. The ROMs of %2, the first choice, are missing%3. %4.</translation>
    </message>
    <message>
        <source>（</source>
        <translation> (</translation>
    </message>
    <message>
        <source>）</source>
        <translation>)</translation>
    </message>
    <message>
        <source>FM-PAC の ROM がないため、FM-PAC なしで %1 を起動します。</source>
        <translation>There is no FM-PAC ROM, so %1 starts without the FM-PAC.</translation>
    </message>
    <message>
        <source>どの機種が使えるかは「mess.exe --machines」で確かめられます。</source>
        <translation>“mess.exe --machines” tells which machines can be used.</translation>
    </message>
    <message>
        <source>ディスク「%1」を読める %2 の機種がありません（無料の C-BIOS にはディスクの ROM がありません）。ディスクドライブのある日本の機種の ROM を入れてください。%3。%4</source>
        <translation>No %2 machine can read the disk “%1” (the free C-BIOS has no disk ROM). Install the ROMs of a Japanese machine with a disk drive. %3. %4</translation>
    </message>
    <message>
        <source>テープ「%1」を読める %2 の機種がありません（無料の C-BIOS には BASIC がありません）。日本の機種の ROM を入れてください。%3。%4</source>
        <translation>No %2 machine can read the tape “%1” (the free C-BIOS has no BASIC). Install the ROMs of a Japanese machine. %3. %4</translation>
    </message>
    <message>
        <source>FM-PAC: FM-PAC の ROM がないため、代わりに %1 の無料の MSX-MUSIC を使います。</source>
        <translation>FM-PAC: there is no FM-PAC ROM, so %1's free MSX-MUSIC is used instead.</translation>
    </message>
    <message>
        <source>FM-PAC: FM-PAC の ROM がないため、代わりに無料の C-BIOS の MSX-MUSIC を %1 に挿します。</source>
        <translation>FM-PAC: there is no FM-PAC ROM, so the free C-BIOS MSX-MUSIC goes into %1 instead.</translation>
    </message>
    <message>
        <source>テープ %1 本の組です。</source>
        <translation>A set of %1 tapes.</translation>
    </message>
    <message>
        <source>ディスク %1 枚の組です。ALT+F9 で次のディスクに入れ替えられます。</source>
        <translation>A set of %1 disks. ALT+F9 changes to the next disk.</translation>
    </message>
    <message>
        <source>openMSX（%1）を起動できません。openMSX を入れてください。</source>
        <translation>Cannot start openMSX (%1). Install openMSX.</translation>
    </message>
    <message>
        <source>保存した状態のファイル「%1」がありません。</source>
        <translation>The saved state “%1” is missing.</translation>
    </message>
    <message>
        <source>機種が指定されていません（MSX2J か MSXJ）。</source>
        <translation>No machine given (MSX2J or MSXJ).</translation>
    </message>
    <message>
        <source>機種「%1」はわかりません（MSX2J か MSXJ）。</source>
        <translation>The machine “%1” is not known (MSX2J or MSXJ).</translation>
    </message>
    <message>
        <source>オプション「%1」にファイルがありません。</source>
        <translation>The option “%1” has no file.</translation>
    </message>
    <message>
        <source>オプション「%1」はわかりません。</source>
        <translation>The option “%1” is not known.</translation>
    </message>
    <message>
        <source>ゲームが２つ指定されています（「%1 %2」と「%3 %4」）。</source>
        <translation>Two games given (“%1 %2” and “%3 %4”).</translation>
    </message>
    <message>
        <source>ゲームのファイル「%1」が %2 にありません。</source>
        <translation>The game's file “%1” is not in %2.</translation>
    </message>
    <message>
        <source>MAME では openMSX で保存した状態から始められません。最初から始めます。</source>
        <translation>MAME cannot start from a state saved by openMSX. It starts from the beginning.</translation>
    </message>
</context>
<context>
    <name>EntryDialog</name>
    <message>
        <source>ゲームのファイル|*.rom;*.mx1;*.mx2;*.dsk;*.cas;*.zip|すべてのファイル|*.*</source>
        <translation>Game files|*.rom;*.mx1;*.mx2;*.dsk;*.cas;*.zip|All files|*.*</translation>
    </message>
    <message>
        <source>リスト登録</source>
        <translation>Add to the list</translation>
    </message>
    <message>
        <source>ゲーム名</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>メディア</source>
        <translation>Media</translation>
    </message>
    <message>
        <source>発売年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>メーカー</source>
        <translation>Maker</translation>
    </message>
    <message>
        <source>価　格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>ゲーム解説文</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>スロット</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File</translation>
    </message>
    <message>
        <source>参　照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>登　　　録</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>閉 じ る</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>価格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>スロット（メディアの種類）</source>
        <translation>Slot (the kind of medium)</translation>
    </message>
    <message>
        <source>ゲームのファイル名</source>
        <translation>The game's file name</translation>
    </message>
    <message>
        <source>ゲームのファイルを選ぶ</source>
        <translation>Choose the game's file</translation>
    </message>
    <message>
        <source>入力した内容をリストに保存する</source>
        <translation>Save what was typed into the list</translation>
    </message>
    <message>
        <source>保存せずに閉じる</source>
        <translation>Close without saving</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>MSX のゲームのファイル（.rom .mx1 .mx2 .cas .dsk、またはそれを１つ入れた .zip）を SHA-1 でプログラムフォルダーの hash/ のソフトウェアリストと照らし合わせて識別し、 その一覧に登録します。 --write がなければ、追加するものを示すだけです。</source>
        <translation>Identifies MSX game files (.rom .mx1 .mx2 .cas .dsk, or a .zip holding one) by their SHA-1 against the software lists in the program folder's hash/ and registers them in its catalogue. Without --write it only says what it would add.</translation>
    </message>
    <message>
        <source>行を一覧に追加します。</source>
        <translation>Add the lines to the catalogue.</translation>
    </message>
    <message>
        <source>プログラムフォルダー（省略時は Tarumin のもの）。</source>
        <translation>The program folder (default: Tarumin's own).</translation>
    </message>
    <message>
        <source>--write と合わせて: 新しく登録したカートリッジのうち画面写真のないものを、openMSX で撮ります（この画面か、仮想画面で）。</source>
        <translation>With --write: photograph each newly registered cartridge in openMSX (on this display, or a virtual one) where it has no snapshot yet.</translation>
    </message>
    <message>
        <source>すべてのゲームのファイルをプログラムフォルダーの games/ にコピーし、そのコピーを登録します。ゲームを中に持つプログラムフォルダー向けです（一覧に書けない名前のファイルは、いつもコピーします）。</source>
        <translation>Copy every game file into the program folder's games/ and register the copies, for a program folder that holds its games (files whose names the catalogue cannot hold are always copied).</translation>
    </message>
    <message>
        <source>ファイルがなくなった行のゲームを、渡したファイルの中から（中身で）探し、その行が今の場所を指すようにするだけです。何も追加しません。ほかと同じく、--write のときだけ書きます。</source>
        <translation>Only find the games of lines whose files are gone among the files given (by their contents) and make those lines name them where they now are; add nothing. Like everything else, only with --write.</translation>
    </message>
    <message>
        <source>ゲームのファイルかフォルダー。</source>
        <translation>Game files or folders.</translation>
    </message>
    <message>
        <source>使い方は「tarumin-import --help」で。</source>
        <translation>Try 'tarumin-import --help'.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>選択したゲームの説明が入ります。しかし、ＭＳＸのロムゲームって６００本以上ありましたよね。１人で登録するのかぁ。でも、リストはＣＳＶ形式にする予定なので誰でも編集可能にするつもりです。</source>
        <translation>The chosen game's description goes here. But MSX had over 600 ROM games, didn't it? All added by one person? Well, the list is a CSV file, so anyone can edit it.</translation>
    </message>
    <message>
        <source>メディア</source>
        <translation>Media</translation>
    </message>
    <message>
        <source>発 売 年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>メーカー</source>
        <translation>Maker</translation>
    </message>
    <message>
        <source>価　　格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>■　ゲ　ー　ム　説　明　■</source>
        <translation>■  About the game  ■</translation>
    </message>
    <message>
        <source>ゲーム画面の写真はありません</source>
        <translation>No picture of the game's screen</translation>
    </message>
    <message>
        <source>発売年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>価格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>ゲーム説明</source>
        <translation>About the game</translation>
    </message>
    <message>
        <source>「%1」の画面写真</source>
        <translation>A picture of “%1”</translation>
    </message>
    <message>
        <source>「%1」の画面写真はありません</source>
        <translation>No picture of “%1”</translation>
    </message>
    <message>
        <source>、お気に入り</source>
        <translation>, favourite</translation>
    </message>
    <message>
        <source>（ファイルなし）</source>
        <translation> (no file)</translation>
    </message>
    <message>
        <source>リストの順</source>
        <translation>List order</translation>
    </message>
    <message>
        <source>名前順</source>
        <translation>By name</translation>
    </message>
    <message>
        <source>発売年順</source>
        <translation>By year</translation>
    </message>
    <message>
        <source>最近遊んだ順</source>
        <translation>Recently played</translation>
    </message>
    <message>
        <source>よく遊んだ順</source>
        <translation>Most played</translation>
    </message>
    <message>
        <source>お気に入りを先に</source>
        <translation>Favourites first</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>お気に入りだけ</source>
        <translation>Favourites only</translation>
    </message>
    <message>
        <source>ROM</source>
        <translation>ROM</translation>
    </message>
    <message>
        <source>ディスク</source>
        <translation>Disk</translation>
    </message>
    <message>
        <source>テープ</source>
        <translation>Tape</translation>
    </message>
    <message>
        <source>ファイルのあるものだけ</source>
        <translation>Only those with files</translation>
    </message>
    <message>
        <source>お気に入り</source>
        <translation>Favourite</translation>
    </message>
    <message>
        <source>続きから遊ぶ</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>状態を消す</source>
        <translation>Remove saved state</translation>
    </message>
    <message>
        <source>機種の設定を元に戻す</source>
        <translation>Forget the machine settings</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>並べ方</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>絞り込み</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>ゲームを名前で探す。Enter キーで起動、Esc キーで閉じる</source>
        <translation>Find a game by name. Enter starts it, Esc closes</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>Tarumin（Ｖｅｒ0.9）</source>
        <translation>Tarumin (Ver 0.9)</translation>
    </message>
    <message>
        <source>登　録</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>編　集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>削　除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>■□■□■　ゲ　ー　ム　名　■□■□■</source>
        <translation>■□■□■   Games   ■□■□■</translation>
    </message>
    <message>
        <source>FM-PACKの使用</source>
        <translation>Use FM-PACK</translation>
    </message>
    <message>
        <source>電　源</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>ゲームを登録する</source>
        <translation>Add a game</translation>
    </message>
    <message>
        <source>選んだゲームを編集する</source>
        <translation>Edit the chosen game</translation>
    </message>
    <message>
        <source>選んだゲームを削除する</source>
        <translation>Delete the chosen game</translation>
    </message>
    <message>
        <source>ゲームの一覧。Enter キーかダブルクリックでゲームを起動する</source>
        <translation>The list of games. Enter or a double click starts a game</translation>
    </message>
    <message>
        <source>FM-PAC を使う</source>
        <translation>Use the FM-PAC</translation>
    </message>
    <message>
        <source>エミュレーターの機種</source>
        <translation>Emulated machine</translation>
    </message>
    <message>
        <source>起動するゲームの引数</source>
        <translation>Arguments for the game</translation>
    </message>
    <message>
        <source>電源スイッチ。押すとゲームを起動する</source>
        <translation>Power switch. Press to start the game</translation>
    </message>
    <message>
        <source>ネームプレート。押すと効果音が鳴る</source>
        <translation>Nameplate. Press for a sound</translation>
    </message>
    <message>
        <source>ゲーム名</source>
        <translation>Games</translation>
    </message>
    <message>
        <source>電源</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>場所を探す…</source>
        <translation>Find it…</translation>
    </message>
    <message>
        <source>ゲームを移した先のフォルダー</source>
        <translation>The folder the games were moved to</translation>
    </message>
    <message>
        <source>いまの画面をスナップショットにする</source>
        <translation>Make the screen now the snapshot</translation>
    </message>
    <message>
        <source>いまの状態を保存</source>
        <translation>Save the state now</translation>
    </message>
    <message>
        <source>テープを入れかえる</source>
        <translation>Change tapes</translation>
    </message>
    <message>
        <source>ディスクを入れかえる</source>
        <translation>Change disks</translation>
    </message>
    <message>
        <source>&amp;%1 %2目</source>
        <translation>%2 &amp;%1</translation>
    </message>
    <message>
        <source>本</source>
        <translation>Tape</translation>
    </message>
    <message>
        <source>枚</source>
        <translation>Disk</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>このゲームはもうリストにありません。</source>
        <translation>This game is no longer in the list.</translation>
    </message>
    <message>
        <source>一時フォルダーを作れません。</source>
        <translation>Cannot make a temporary folder.</translation>
    </message>
    <message>
        <source>画面の写真を読めません。</source>
        <translation>Cannot read the screen's picture.</translation>
    </message>
    <message>
        <source>%1 に保存できません（%2）。</source>
        <translation>Cannot save to %1 (%2).</translation>
    </message>
    <message>
        <source>%1 を作れません。</source>
        <translation>Cannot make %1.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>tarumin（%1）</source>
        <translation>tarumin (%1)</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>ディスクの空きがありません</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>ディスクの使用量が上限に達しています</source>
        <translation>The disk quota is used up</translation>
    </message>
    <message>
        <source>ディスクの読み書きに失敗しました</source>
        <translation>Reading or writing the disk failed</translation>
    </message>
    <message>
        <source>アクセスが許可されていません</source>
        <translation>Access is not allowed</translation>
    </message>
    <message>
        <source>ディスクが読み取り専用です</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>ファイルまたはフォルダーが見つかりません</source>
        <translation>The file or folder cannot be found</translation>
    </message>
    <message>
        <source>フォルダーの場所にファイルがあります</source>
        <translation>A file stands where a folder should be</translation>
    </message>
    <message>
        <source>ファイルの場所にフォルダーがあります</source>
        <translation>A folder stands where the file should be</translation>
    </message>
    <message>
        <source>名前が長すぎます</source>
        <translation>The name is too long</translation>
    </message>
    <message>
        <source>ファイルの大きさの上限を超えます</source>
        <translation>The file would be larger than allowed</translation>
    </message>
    <message>
        <source>ほかのプログラムが使用中です</source>
        <translation>Another program is using it</translation>
    </message>
    <message>
        <source>メモリーか、同時に開けるファイルの数が足りません</source>
        <translation>Not enough memory, or too many open files</translation>
    </message>
    <message>
        <source>リンクになっています（リンクの先には書き込みません）</source>
        <translation>It is a link (links are never written through)</translation>
    </message>
    <message>
        <source>原因のわからないエラーです</source>
        <translation>An error of unknown cause</translation>
    </message>
    <message>
        <source>システムのエラー: %1</source>
        <translation>System error: %1</translation>
    </message>
    <message>
        <source>普通のファイルではありません</source>
        <translation>It is not a regular file</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます（%1 MB まで）</source>
        <translation>The file is too large (at most %1 MB)</translation>
    </message>
    <message>
        <source>%1 行あります</source>
        <translation>It has %1 lines</translation>
    </message>
    <message>
        <source>フォルダー %1 を作れません: %2</source>
        <translation>Cannot make the folder %1: %2</translation>
    </message>
    <message>
        <source>ファイルが書き込み禁止になっています</source>
        <translation>The file is write-protected</translation>
    </message>
    <message>
        <source>フォルダー %1 に書き込めません</source>
        <translation>Cannot write in the folder %1</translation>
    </message>
    <message>
        <source>新しいファイル %1 を作れません: %2</source>
        <translation>Cannot make the new file %1: %2</translation>
    </message>
    <message>
        <source>ディスクに書き込めません: %1</source>
        <translation>Cannot write to the disk: %1</translation>
    </message>
    <message>
        <source>ディスクへ書き出せません: %1</source>
        <translation>Cannot flush to the disk: %1</translation>
    </message>
    <message>
        <source>古いファイルを新しいファイルに置き換えられません: %1</source>
        <translation>Cannot replace the old file with the new one: %1</translation>
    </message>
    <message>
        <source>ほかのプログラムが変更中です</source>
        <translation>Another program is changing it</translation>
    </message>
    <message>
        <source>%1 が普通のファイルではありません</source>
        <translation>%1 is not a regular file</translation>
    </message>
    <message>
        <source>1001 件で一杯です</source>
        <translation>It is full at 1001 games</translation>
    </message>
    <message>
        <source>ほかのプログラムが変更しました</source>
        <translation>Another program changed it</translation>
    </message>
    <message>
        <source>UTF-8 で保存されています</source>
        <translation>It is saved as UTF-8</translation>
    </message>
    <message>
        <source>UTF-16 で保存されています</source>
        <translation>It is saved as UTF-16</translation>
    </message>
    <message>
        <source>ほかのプログラムが書き込み中です</source>
        <translation>Another program is writing it</translation>
    </message>
    <message>
        <source>ほかのプログラムが %1 を開いています</source>
        <translation>Another program has %1 open</translation>
    </message>
    <message>
        <source>リストファイル %1 は %2 で保存されています。テキストエディターなどで Shift-JIS（CP932）として保存し直してください。それまでは登録・編集・削除はできません（ファイルは変更しません）。</source>
        <translation>The list file %1 is saved in %2. Save it again as Shift-JIS (CP932), in a text editor for instance. Until then, adding, editing and deleting are off (the file is left as it is).</translation>
    </message>
    <message>
        <source>リストファイルに %1 行あります。表示できるのは 1001 行までです。ファイルを守るため、登録・編集・削除はできません。</source>
        <translation>The list file has %1 lines; up to 1001 can be shown. To keep the file safe, adding, editing and deleting are off.</translation>
    </message>
    <message>
        <source>リストファイル %1 を読み込めませんでした（%2）。変更はできません。</source>
        <translation>The list file %1 could not be read (%2). It cannot be changed.</translation>
    </message>
    <message>
        <source>リストファイルが 1001 行を超えているため、変更できません。</source>
        <translation>The list file has more than 1001 lines, so it cannot be changed.</translation>
    </message>
    <message>
        <source>リストファイルを読み込めなかったため、変更できません（%1）。</source>
        <translation>The list file could not be read, so it cannot be changed (%1).</translation>
    </message>
    <message>
        <source>ほかのプログラムがリストファイルを変更しているため、変更できませんでした。しばらくしてから、もう一度やり直してください。</source>
        <translation>Another program is changing the list file, so nothing was changed. Try again in a moment.</translation>
    </message>
    <message>
        <source>リストファイルのロック %1 が普通のファイルではない（フォルダー、パイプ、リンクなど）ため、変更できません。%1 を削除してから、もう一度やり直してください。</source>
        <translation>The list file's lock %1 is not a regular file (a folder, a pipe, a link…), so the list cannot be changed. Delete %1 and try again.</translation>
    </message>
    <message>
        <source>リストは 1001 件で一杯です。これ以上登録できません。</source>
        <translation>The list is full at 1001 games. No more can be added.</translation>
    </message>
    <message>
        <source>リストファイルが %1 で保存されているため、変更できません。Shift-JIS（CP932）で保存し直してから、もう一度やり直してください。</source>
        <translation>The list file is saved in %1, so it cannot be changed. Save it again as Shift-JIS (CP932) and try again.</translation>
    </message>
    <message>
        <source>ほかのプログラム（エディターや表計算ソフトなど）が %1 を開いているため、保存できませんでした。そのプログラムで %1 を閉じてから、もう一度やり直してください。リストファイルは変更していません。</source>
        <translation>Another program (an editor, a spreadsheet…) has %1 open, so it could not be saved. Close %1 in that program and try again. The list file is unchanged.</translation>
    </message>
    <message>
        <source>ほかのプログラムがリストファイルを書き込んでいる途中のようです（途中までしか書かれていません）。変更はしていません。しばらくしてから、もう一度やり直してください。</source>
        <translation>Another program seems to be writing the list file (it is only partly written). Nothing was changed. Try again in a moment.</translation>
    </message>
    <message>
        <source>リストはほかのプログラムによって変更されていました。削除はしていません。今のリストを表示しますので、ゲームを選び直してください。</source>
        <translation>Another program had changed the list. Nothing was deleted. The list as it is now is shown: choose the game again.</translation>
    </message>
    <message>
        <source>編集中のゲームは、ほかのプログラムによって変更されたか、削除されていました。保存はしていません。メインの画面に今のリストを表示しますので、ゲームを選び直してください。</source>
        <translation>The game being edited was changed or deleted by another program. Nothing was saved. The main window shows the list as it is now: choose the game again.</translation>
    </message>
    <message>
        <source>リストファイルを保存できなかったので、削除しませんでした（%1）。</source>
        <translation>The list file could not be saved, so nothing was deleted (%1).</translation>
    </message>
    <message>
        <source>リストファイルを保存できなかったので、何も登録していません（%1）。</source>
        <translation>The list file could not be saved, so nothing was added (%1).</translation>
    </message>
    <message>
        <source>リストファイルを保存できませんでした（%1）。入力した内容はそのまま残っています。</source>
        <translation>The list file could not be saved (%1). What you typed is still here.</translation>
    </message>
    <message>
        <source>ファイルがありません</source>
        <translation>There is no file</translation>
    </message>
    <message>
        <source>フォルダーです</source>
        <translation>It is a folder</translation>
    </message>
    <message>
        <source>実行を許可されていません</source>
        <translation>It may not be run</translation>
    </message>
    <message>
        <source>エミュレーター %1 を起動できませんでした（%2）。</source>
        <translation>The emulator %1 could not be started (%2).</translation>
    </message>
    <message>
        <source>いまの画面をスナップショットにできませんでした。</source>
        <translation>The screen could not be made the snapshot.</translation>
    </message>
    <message>
        <source>openMSX が答えません。</source>
        <translation>openMSX does not answer.</translation>
    </message>
    <message>
        <source>このゲームの行には画面写真の名前がないため、いまの画面を保存できません。</source>
        <translation>This game's line names no snapshot, so the screen cannot be saved.</translation>
    </message>
    <message>
        <source>%1 に入れかえられませんでした。</source>
        <translation>Could not change to %1.</translation>
    </message>
    <message>
        <source>エミュレーターが起動してすぐに異常終了しました（シグナル %1）。</source>
        <translation>The emulator crashed right after it started (signal %1).</translation>
    </message>
    <message>
        <source>エミュレーターが起動してすぐに終了しました（終了コード %1）。</source>
        <translation>The emulator ended right after it started (exit code %1).</translation>
    </message>
    <message>
        <source>

エミュレーターのメッセージ:
</source>
        <translation>

The emulator said:
</translation>
    </message>
    <message>
        <source>プログラムのあるフォルダーの名前を文字として読み取れません（Windows で作った Shift-JIS の名前かもしれません）。フォルダーの名前を変えてから起動してください。何も変更していません。</source>
        <translation>The name of the program's folder cannot be read as text (it may be a Shift-JIS name made on Windows). Rename the folder and start again. Nothing was changed.</translation>
    </message>
    <message>
        <source>データを置くフォルダー %1 を作れませんでした（%2）。</source>
        <translation>The data folder %1 could not be made (%2).</translation>
    </message>
    <message>
        <source>ファイルが変わりました（識別した後に中身が変わっています。書き込み中かもしれません。コピーも登録もしていません）</source>
        <translation>The file changed (its contents changed after it was identified; it may still be being written. Nothing was copied or added)</translation>
    </message>
    <message>
        <source>管理者（root）として起動されましたが、プログラムのフォルダーの持ち主として動けませんでした（%1）。持ち主のファイルを守るため、何もせずに終了します。sudo を付けずに起動してください。</source>
        <translation>Started as the administrator (root), but could not act as the owner of the program's folder (%1). To keep the owner's files safe, nothing is done. Start it without sudo.</translation>
    </message>
    <message>
        <source>大きすぎます（%1 MB まで）</source>
        <translation>Too large (at most %1 MB)</translation>
    </message>
    <message>
        <source>読み込めません</source>
        <translation>Cannot be read</translation>
    </message>
    <message>
        <source>入れ子が深すぎます（%1 段まで）</source>
        <translation>Nested too deeply (at most %1 levels)</translation>
    </message>
    <message>
        <source>openMSX のソフトウェアデータベースの形式ではありません</source>
        <translation>Not openMSX's software database</translation>
    </message>
    <message>
        <source>ソフトウェアリスト %1 は読まずに飛ばしました（%2）。</source>
        <translation>The software list %1 was skipped (%2).</translation>
    </message>
    <message>
        <source>%1 本のゲームを登録しました（リストで識別 %2 本、識別できず %3 本）。</source>
        <translation>Added %1 games (%2 identified by the lists, %3 not identified).</translation>
    </message>
    <message>
        <source>
登録済みのため飛ばしたもの: %1 本</source>
        <translation>
Skipped as already in the list: %1</translation>
    </message>
    <message>
        <source>
1001 件を超えるため登録しなかったもの: %1 本</source>
        <translation>
Not added, as the list would pass 1001 games: %1</translation>
    </message>
    <message>
        <source>
リストファイルに書けない名前のため games フォルダーにコピーして登録したもの: %1 本</source>
        <translation>
Copied to the games folder and added, as their names cannot be written in the list file: %1</translation>
    </message>
    <message>
        <source>
games フォルダーにコピーして登録したもの: %1 本</source>
        <translation>
Copied to the games folder and added: %1</translation>
    </message>
    <message>
        <source>
登録したゲームの２枚目以降のディスクやテープ: %1 本</source>
        <translation>
Second and later disks or tapes of the games added: %1</translation>
    </message>
    <message>
        <source>
同じゲームの別のダンプのため飛ばしたもの: %1 本</source>
        <translation>
Skipped as another dump of the same game: %1</translation>
    </message>
    <message>
        <source>
ファイルの場所を更新したもの（移されたゲーム）: %1 本</source>
        <translation>
Lines whose file moved, updated: %1</translation>
    </message>
    <message>
        <source>
登録できなかったもの: %1 本</source>
        <translation>
Could not be added: %1</translation>
    </message>
    <message>
        <source>
リストファイルに書けない文字は「？」にしました: %1</source>
        <translation>
Characters the list file cannot hold became “?”: %1</translation>
    </message>
    <message>
        <source>登録できません: %1（%2）</source>
        <translation>Cannot add: %1 (%2)</translation>
    </message>
    <message>
        <source>1001 件を超えます: %1</source>
        <translation>Would pass 1001 games: %1</translation>
    </message>
    <message>
        <source>別のダンプ: %1（%2 で登録）</source>
        <translation>Another dump: %1 (added as %2)</translation>
    </message>
    <message>
        <source>場所を更新しました: %1（もとは %2）</source>
        <translation>Place updated: %1 (was %2)</translation>
    </message>
    <message>
        <source>登録済みのゲームと同じです: %1（%2）</source>
        <translation>The same as a game in the list: %1 (%2)</translation>
    </message>
    <message>
        <source>「？」にした文字 %1: %2</source>
        <translation>Characters made “?” in %1: %2</translation>
    </message>
    <message>
        <source>ゲーム名</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>メディア</source>
        <translation>Media</translation>
    </message>
    <message>
        <source>発売年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>メーカー</source>
        <translation>Maker</translation>
    </message>
    <message>
        <source>価格</source>
        <translation>Price</translation>
    </message>
    <message>
        <source>ゲーム解説文</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>ゲーム名を入力してください。</source>
        <translation>Type the game's title.</translation>
    </message>
    <message>
        <source>「%1」にリストファイルに書けない文字「%2」があります。</source>
        <translation>“%1” holds “%2”, which the list file cannot hold.</translation>
    </message>
    <message>
        <source>「%1」のファイル名の最初の「.」より前に半角のカンマ（,）は使えません。</source>
        <translation>“%1”: no comma (,) before the first “.” of the file name.</translation>
    </message>
    <message>
        <source>「%1」に半角のカンマ（,）は使えません。</source>
        <translation>“%1” cannot hold a comma (,).</translation>
    </message>
    <message>
        <source>大きすぎます</source>
        <translation>Too large</translation>
    </message>
    <message>
        <source>ZIP の中のファイルが１つではありません</source>
        <translation>The ZIP holds more than one file</translation>
    </message>
    <message>
        <source>ZIP の中のファイルが多すぎます（%1 個まで）</source>
        <translation>The ZIP holds too many files (at most %1)</translation>
    </message>
    <message>
        <source>ZIP を読むモジュール（tarumin-zip）がありません</source>
        <translation>The module that reads ZIPs (tarumin-zip) is missing</translation>
    </message>
    <message>
        <source>カートリッジ・テープ・ディスクのどれかわかりません（拡張子 .rom .mx1 .mx2 .cas .dsk）</source>
        <translation>Neither a cartridge, a tape nor a disk (extensions .rom .mx1 .mx2 .cas .dsk)</translation>
    </message>
    <message>
        <source>ファイル名の最初の「.」より前にカンマがあります</source>
        <translation>A comma comes before the first “.” of the file name</translation>
    </message>
    <message>
        <source>ファイル名にリストファイルに書けない文字「%1」があります</source>
        <translation>The file name holds “%1”, which the list file cannot hold</translation>
    </message>
    <message>
        <source>MSX のゲームではありません（%1 のソフト）</source>
        <translation>Not an MSX game (software for %1)</translation>
    </message>
    <message>
        <source>ゲームではなく、「%1」のカートリッジの中の、%2 のデータの ROM です</source>
        <translation>Not a game: the ROM of %2's data inside the cartridge “%1”</translation>
    </message>
    <message>
        <source>ゲームではなく、機械を拡張するカートリッジです（%1）</source>
        <translation>Not a game: a cartridge that extends the machine (%1)</translation>
    </message>
    <message>
        <source>「%1」の %2 枚目（本目）です。1 枚目（本目）といっしょに登録してください</source>
        <translation>Disk (or tape) %2 of “%1”. Add it together with the first one</translation>
    </message>
    <message>
        <source>ゲームのファイルの拡張子（.rom .mx1 .mx2 .cas .dsk .zip）ではありません</source>
        <translation>Not a game file's extension (.rom .mx1 .mx2 .cas .dsk .zip)</translation>
    </message>
    <message>
        <source>リンク先がありません</source>
        <translation>The link leads nowhere</translation>
    </message>
    <message>
        <source>フォルダーを読めません</source>
        <translation>Cannot read the folder</translation>
    </message>
    <message>
        <source>games フォルダーにコピーしようとしましたが、できませんでした%1</source>
        <translation>Tried to copy it to the games folder, but could not%1</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>（コピー: %1）</source>
        <translation> (copy: %1)</translation>
    </message>
    <message>
        <source>識別しました     %1 — %2（%3）%4</source>
        <translation>Identified       %1 — %2 (%3)%4</translation>
    </message>
    <message>
        <source>識別できません   %1%2</source>
        <translation>Not identified   %1%2</translation>
    </message>
    <message>
        <source>登録済みです     %1（%2 と同じゲーム）</source>
        <translation>Already listed   %1 (the same game as %2)</translation>
    </message>
    <message>
        <source>登録済みです     %1</source>
        <translation>Already listed   %1</translation>
    </message>
    <message>
        <source>登録しません     %1（--relink）</source>
        <translation>Not added        %1 (--relink)</translation>
    </message>
    <message>
        <source>別のダンプです   %1（%2 で登録します）</source>
        <translation>Another dump     %1 (added as %2)</translation>
    </message>
    <message>
        <source>場所を更新しました %1（もとは %2）</source>
        <translation>Place updated    %1 (was %2)</translation>
    </message>
    <message>
        <source>場所を更新します %1（もとは %2、--write で更新します）</source>
        <translation>Place to update  %1 (was %2; --write updates it)</translation>
    </message>
    <message>
        <source>1001 件に入りません %1</source>
        <translation>Past 1001 games  %1</translation>
    </message>
    <message>
        <source>組の一部です     %1。%2 の行で登録します</source>
        <translation>Part of a set    %1. Added with the line of %2</translation>
    </message>
    <message>
        <source>組の一部です     %1 — %2 の %3 枚目（本目）。%4 の行で登録します</source>
        <translation>Part of a set    %1 — number %3 of %2. Added with the line of %4</translation>
    </message>
    <message>
        <source>登録できません   %1: %2</source>
        <translation>Cannot add       %1: %2</translation>
    </message>
    <message>
        <source>    リストファイルに書けない文字を「？」にしました: %1</source>
        <translation>    Characters the list file cannot hold became “?”: %1</translation>
    </message>
    <message>
        <source>場所を更新した行: %1</source>
        <translation>Lines whose place was updated: %1</translation>
    </message>
    <message>
        <source>場所を更新する行: %1（--write で更新します。まだ何も変えていません）</source>
        <translation>Lines whose place would be updated: %1 (--write updates them; nothing changed yet)</translation>
    </message>
    <message>
        <source>追加した行（%1）:</source>
        <translation>Lines added (%1):</translation>
    </message>
    <message>
        <source>追加する行（%1、--write で追加します）:</source>
        <translation>Lines to add (%1; --write adds them):</translation>
    </message>
    <message>
        <source>そのうち games フォルダーにコピーしたもの: %1</source>
        <translation>Of them, copied to the games folder: %1</translation>
    </message>
    <message>
        <source>そのうち games フォルダーにコピーするもの: %1</source>
        <translation>Of them, to be copied to the games folder: %1</translation>
    </message>
    <message>
        <source>%1 の名前はリストファイルに書けないため、プログラムのフォルダーの games にコピーしようとしましたが、できませんでした%2。</source>
        <translation>The name of %1 cannot be written in the list file, so it was to be copied to games in the program's folder, but could not be%2.</translation>
    </message>
    <message>
        <source>登録するファイルかフォルダーを指定してください（--help で使い方）。</source>
        <translation>Name the files or folders to add (--help tells how).</translation>
    </message>
    <message>
        <source>プログラムフォルダー %1 がありません。</source>
        <translation>There is no program folder %1.</translation>
    </message>
    <message>
        <source>画面写真を撮りました %1.png</source>
        <translation>Snapshot taken %1.png</translation>
    </message>
    <message>
        <source>一時フォルダーを作れません</source>
        <translation>Cannot make a temporary folder</translation>
    </message>
    <message>
        <source>画面がなく、仮想画面（Xvfb）も起動できません</source>
        <translation>No display, and a virtual one (Xvfb) cannot be started</translation>
    </message>
    <message>
        <source>openMSX（%1）を起動できません</source>
        <translation>Cannot start openMSX (%1)</translation>
    </message>
    <message>
        <source>openMSX が終わりません</source>
        <translation>openMSX does not end</translation>
    </message>
    <message>
        <source>openMSX が画面を保存しませんでした%1</source>
        <translation>openMSX did not save the screen%1</translation>
    </message>
    <message>
        <source>画像を扱うモジュール（tarumin-picture）がありません</source>
        <translation>The module that handles pictures (tarumin-picture) is missing</translation>
    </message>
    <message>
        <source>%1 に保存できません</source>
        <translation>Cannot save to %1</translation>
    </message>
    <message>
        <source>画面写真を撮れません %1: %2</source>
        <translation>Cannot take a snapshot %1: %2</translation>
    </message>
    <message>
        <source>リストを編集したブリ。マジで。</source>
        <translation>List edited, buri. Seriously.</translation>
    </message>
    <message>
        <source>リストを登録したブリ。マジで。</source>
        <translation>Game added, buri. Seriously.</translation>
    </message>
    <message>
        <source>リストを１つ削除しました。本気で。</source>
        <translation>One game off the list. For real.</translation>
    </message>
    <message>
        <source>%1 があるかどうか確かめられません（ドライブが応答しません）。このまま登録しますか？</source>
        <translation>Cannot check whether %1 is there (the drive does not answer). Add it anyway?</translation>
    </message>
    <message>
        <source>%1 が見つかりません。このまま登録しますか？</source>
        <translation>%1 cannot be found. Add it anyway?</translation>
    </message>
    <message>
        <source>「%1」がどのメディアのファイルかわかりません。スロットを選んでください。</source>
        <translation>Which medium “%1” is cannot be told. Choose a slot.</translation>
    </message>
    <message>
        <source>「%1」を削除しますか？</source>
        <translation>Delete “%1”?</translation>
    </message>
    <message>
        <source>ファイルがありません: %1</source>
        <translation>No file: %1</translation>
    </message>
    <message>
        <source>ゲームのファイル %1 がないので、起動できません。ファイルを置き直すか、「編集」でファイル名を直してください。</source>
        <translation>The game's file %1 is missing, so it cannot be started. Put the file back, or correct its name with “Edit”.</translation>
    </message>
    <message>
        <source>%1 は、リストの %2 行目「%3」としてもう登録されています。もう一度登録しますか？</source>
        <translation>%1 is already in the list as line %2, “%3”. Add it again?</translation>
    </message>
    <message>
        <source>%1 の中のファイルが１つも見つかりません（%2 本）。ドライブがつながっていないか、フォルダーが移されたのかもしれません。</source>
        <translation>None of the %2 files in %1 can be found. The drive may be disconnected, or the folder moved.</translation>
    </message>
    <message>
        <source>削除するゲームをリストから選んでください。</source>
        <translation>Choose the game to delete from the list.</translation>
    </message>
    <message>
        <source>編集するゲームをリストから選んでください。</source>
        <translation>Choose the game to edit from the list.</translation>
    </message>
    <message>
        <source>取り消しました。何も登録していません。</source>
        <translation>Cancelled. Nothing was added.</translation>
    </message>
    <message>
        <source>ゲームのファイルを調べています…</source>
        <translation>Looking at the game files…</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 時間 %2 分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 分</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>1 分未満</source>
        <translation>under a minute</translation>
    </message>
    <message>
        <source>遊んだ回数 %1 回・合計 %2</source>
        <translation>Played %1 times, %2 in all</translation>
    </message>
    <message>
        <source>・最後に遊んだ日 %1年%2月%3日</source>
        <translation> · last played %1-%2-%3</translation>
    </message>
    <message>
        <source>遊んだ記録とお気に入りのファイル（%1 の player.json）が読めないため、%2 として残し、新しく記録を始めます。</source>
        <translation>The file of plays and favourites (player.json in %1) cannot be read. It is kept as %2, and a new record is begun.</translation>
    </message>
    <message>
        <source>遊んだ記録とお気に入りを保存できませんでした（%1）。</source>
        <translation>The plays and favourites could not be saved (%1).</translation>
    </message>
    <message>
        <source>いまの状態を保存できませんでした。</source>
        <translation>The state could not be saved.</translation>
    </message>
    <message>
        <source>いまの状態を保存しました。リストのメニューの「続きから遊ぶ」で、ここから始められます。</source>
        <translation>The state is saved. “Resume” in the list's menu starts from here.</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>Tarumin: MSX のゲームの一覧を持ち、選んだゲームをエミュレーター（mess.exe）で起動します。
プログラムの隣に tarumin/ フォルダーがあればそこのデータを使い、なければ
最初の起動で作る利用者自身のフォルダーを使います。</source>
        <translation>Tarumin: a catalogue of MSX games that starts them in an emulator (mess.exe).
It takes its data from the tarumin/ folder beside the program when there is one,
otherwise from a folder of the user's own, made at the first start.</translation>
    </message>
</context>
</TS>