<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AElemsConds</name>
    <message>
        <source>Analyze Elems Conditions</source>
        <translation>元素解析の条件</translation>
    </message>
    <message>
        <source>BG Values : </source>
        <translation>バックグラウンド値 : </translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>dmut-Ratio</source>
        <translation>dmut比</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>-1</source>
        <translation>-1</translation>
    </message>
    <message>
        <source>NROI</source>
        <translation>規格化ROI</translation>
    </message>
</context>
<context>
    <name>Analyzer</name>
    <message>
        <source>Analyzer</source>
        <translation>解析パネル</translation>
    </message>
    <message>
        <source>Analyze</source>
        <translation>解析</translation>
    </message>
    <message>
        <source>0%</source>
        <translation>0%</translation>
    </message>
    <message>
        <source>2D Analysis</source>
        <translation>二次元解析</translation>
    </message>
    <message>
        <source>Disp. on Time</source>
        <translation>解析中に逐次表示</translation>
    </message>
    <message>
        <source>Reference Spectra</source>
        <translation>参照スペクトル</translation>
    </message>
    <message>
        <source>Add Ref</source>
        <translation>参照追加</translation>
    </message>
    <message>
        <source>Show View</source>
        <translation>スペクトル表示</translation>
    </message>
    <message>
        <source>Image Type:</source>
        <translation>画像の種類:</translation>
    </message>
    <message>
        <source>DMut</source>
        <translation>DMut</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>1.0</source>
        <translation>1.0</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>0.0</source>
        <translation>0.0</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比率</translation>
    </message>
    <message>
        <source>Fixed Scale</source>
        <translation>スケール固定</translation>
    </message>
    <message>
        <source>Upper Limit V.</source>
        <translation>上限値</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Exec. LCF / MLCF Analysis</source>
        <translation>LCF / MLCF 解析を実行</translation>
    </message>
    <message>
        <source>MLCF</source>
        <translation>MLCF</translation>
    </message>
    <message>
        <source>as Old</source>
        <translation>従来方式</translation>
    </message>
    <message>
        <source>Fitting Range: </source>
        <translation>フィット範囲: </translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>30000</source>
        <translation>30000</translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation>[eV]</translation>
    </message>
    <message>
        <source>Show Zansa Map</source>
        <translation>残差マップ表示</translation>
    </message>
    <message>
        <source>Zansa at Cursor</source>
        <translation>カーソル位置の残差</translation>
    </message>
    <message>
        <source>(</source>
        <translation>(</translation>
    </message>
    <message>
        <source>)</source>
        <translation>)</translation>
    </message>
    <message>
        <source>Exec. Gen dEge Map</source>
        <translation>吸収端シフトマップを作成</translation>
    </message>
    <message>
        <source>Show dEge Map</source>
        <translation>吸収端シフトマップ表示</translation>
    </message>
    <message>
        <source>dEdge at Cursor</source>
        <translation>カーソル位置の吸収端シフト</translation>
    </message>
    <message>
        <source>Mid Point</source>
        <translation>中点</translation>
    </message>
    <message>
        <source>Mid Ratio (a)</source>
        <translation>中点比 (a)</translation>
    </message>
    <message>
        <source>0.5</source>
        <translation>0.5</translation>
    </message>
    <message>
        <source>(Mid = ( Post - Pre ) * a + Pre</source>
        <translation>(中点 = ( Post - Pre ) * a + Pre</translation>
    </message>
    <message>
        <source>Comp. with</source>
        <translation>比較法</translation>
    </message>
    <message>
        <source>Seek Min. Params: Comp. Range</source>
        <translation>最小探索条件: 比較範囲</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>Init. Step</source>
        <translation>初期ステップ</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Min. Step</source>
        <translation>最小ステップ</translation>
    </message>
    <message>
        <source>0.1</source>
        <translation>0.1</translation>
    </message>
    <message>
        <source>Comp. Target</source>
        <translation>比較対象</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Step at</source>
        <translation>ステップ位置</translation>
    </message>
    <message>
        <source>9000</source>
        <translation>9000</translation>
    </message>
    <message>
        <source>(Step Gen Params: </source>
        <translation>(ステップ生成条件: </translation>
    </message>
    <message>
        <source>SW</source>
        <translation>幅</translation>
    </message>
    <message>
        <source>300</source>
        <translation>300</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>0.01</source>
        <translation>0.01</translation>
    </message>
    <message>
        <source>[eV] )</source>
        <translation>[eV] )</translation>
    </message>
    <message>
        <source>Residual Absorption Analysis</source>
        <translation>残留吸収解析</translation>
    </message>
    <message>
        <source>Res = mut(</source>
        <translation>残留 = mut(</translation>
    </message>
    <message>
        <source>8200</source>
        <translation>8200</translation>
    </message>
    <message>
        <source> [eV])- dmut x</source>
        <translation> [eV])- dmut x</translation>
    </message>
    <message>
        <source>Show Ratio</source>
        <translation>比率を表示</translation>
    </message>
    <message>
        <source>Show the Rest</source>
        <translation>残留吸収を表示</translation>
    </message>
    <message>
        <source>Show dmut</source>
        <translation>dmutを表示</translation>
    </message>
    <message>
        <source>Element Analysis</source>
        <translation>元素解析</translation>
    </message>
    <message>
        <source>Target Element Names</source>
        <translation>対象元素名</translation>
    </message>
    <message>
        <source>Sort by A. No.</source>
        <translation>原子番号順に並べる</translation>
    </message>
    <message>
        <source>Correlation</source>
        <translation>相関</translation>
    </message>
    <message>
        <source>Cor. Th.</source>
        <translation>相関しきい値</translation>
    </message>
    <message>
        <source>0.9</source>
        <translation>0.9</translation>
    </message>
    <message>
        <source>ReCalc Cor.</source>
        <translation>相関を再計算</translation>
    </message>
    <message>
        <source>Set STD</source>
        <translation>標準に設定</translation>
    </message>
    <message>
        <source>Show Map of</source>
        <translation>マップ表示:</translation>
    </message>
    <message>
        <source>Show Res. Elems A.</source>
        <translation>元素解析結果を表示</translation>
    </message>
    <message>
        <source>dMut of The Elem.</source>
        <translation>その元素のdMut</translation>
    </message>
    <message>
        <source>N. dMut of The Elem.</source>
        <translation>その元素の規格化dMut</translation>
    </message>
    <message>
        <source>Mut+</source>
        <translation>Mut+</translation>
    </message>
    <message>
        <source>Mut-</source>
        <translation>Mut-</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>N.ROI</source>
        <translation>規格化ROI</translation>
    </message>
    <message>
        <source>Cor. Th</source>
        <translation>相関しきい値</translation>
    </message>
    <message>
        <source>Feature Val. Analysis</source>
        <translation>特徴量解析</translation>
    </message>
    <message>
        <source>Show FV Map</source>
        <translation>特徴量マップ表示</translation>
    </message>
    <message>
        <source>Halvik.F.V</source>
        <translation>Halvik特徴量</translation>
    </message>
    <message>
        <source>Step[eV]</source>
        <translation>ステップ[eV]</translation>
    </message>
    <message>
        <source>Elim Reg[eV].</source>
        <translation>除外範囲[eV]</translation>
    </message>
    <message>
        <source>dM</source>
        <translation>dM</translation>
    </message>
    <message>
        <source>dE12</source>
        <translation>dE12</translation>
    </message>
    <message>
        <source>E2-E1</source>
        <translation>E2-E1</translation>
    </message>
    <message>
        <source>Sum Up</source>
        <translation>積算</translation>
    </message>
    <message>
        <source>Process Maps</source>
        <translation>マップ演算</translation>
    </message>
    <message>
        <source>Process</source>
        <translation>処理</translation>
    </message>
    <message>
        <source>Sub.</source>
        <translation>差</translation>
    </message>
    <message>
        <source>Div.</source>
        <translation>比</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>マスク</translation>
    </message>
    <message>
        <source>Map1</source>
        <translation>マップ1</translation>
    </message>
    <message>
        <source>Map2</source>
        <translation>マップ2</translation>
    </message>
    <message>
        <source>Processed</source>
        <translation>処理結果</translation>
    </message>
    <message>
        <source>Select Map 1</source>
        <translation>マップ1を選択</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>取込</translation>
    </message>
    <message>
        <source>Select Map 2</source>
        <translation>マップ2を選択</translation>
    </message>
    <message>
        <source>Analyzing Spectrum</source>
        <translation>解析中のスペクトル</translation>
    </message>
    <message>
        <source>Select Ref%1</source>
        <translation>参照%1を選択</translation>
    </message>
</context>
<context>
    <name>Analyzer2</name>
    <message>
        <source>Analyzer2</source>
        <translation>解析パネル2</translation>
    </message>
    <message>
        <source>Collect Q Info</source>
        <translation>Q情報を収集</translation>
    </message>
    <message>
        <source>20000</source>
        <translation>20000</translation>
    </message>
    <message>
        <source>Th</source>
        <translation>しきい値</translation>
    </message>
    <message>
        <source>Dark Check</source>
        <translation>ダーク検査</translation>
    </message>
    <message>
        <source>60000</source>
        <translation>60000</translation>
    </message>
    <message>
        <source>Bins</source>
        <translation>ビン数</translation>
    </message>
    <message>
        <source>Histg. Max.</source>
        <translation>ヒストグラム最大</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>Use Err Points Mask</source>
        <translation>エラー点マスクを使用</translation>
    </message>
</context>
<context>
    <name>BatchCtrl</name>
    <message>
        <source>BatchCtrl</source>
        <translation>バッチ制御</translation>
    </message>
    <message>
        <source>Batch Cmds</source>
        <translation>バッチコマンド</translation>
    </message>
    <message>
        <source>Progress Log</source>
        <translation>実行ログ</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読込</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>ログをクリア</translation>
    </message>
    <message>
        <source>Exec.</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>Body</name>
    <message>
        <source>Corvelline</source>
        <translation>コルヴェリン</translation>
    </message>
    <message>
        <source>B</source>
        <translation>全て設定</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>x</source>
        <translation>x</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Img. No.</source>
        <translation>画像番号</translation>
    </message>
    <message>
        <source>Sum R.</source>
        <translation>積算範囲</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>拡大</translation>
    </message>
    <message>
        <source>background-color: rgb(255, 255, 222);</source>
        <translation>background-color: rgb(255, 255, 222);</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;AAAAA&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;画像番号&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Reset Scale</source>
        <translation>スケール初期化</translation>
    </message>
    <message>
        <source>A. Step</source>
        <translation>解析ビン</translation>
    </message>
    <message>
        <source>Batch Ctrl.</source>
        <translation>バッチ制御</translation>
    </message>
    <message>
        <source>Chk Vals</source>
        <translation>値を確認</translation>
    </message>
    <message>
        <source>Selected Area</source>
        <translation>選択領域</translation>
    </message>
    <message>
        <source>0.0</source>
        <translation>0.0</translation>
    </message>
    <message>
        <source>   dE from Std.: </source>
        <translation>   標準からのdE: </translation>
    </message>
    <message>
        <source>background-color: rgb(255, 255, 255);</source>
        <translation>background-color: rgb(255, 255, 255);</translation>
    </message>
    <message>
        <source>(</source>
        <translation>(</translation>
    </message>
    <message>
        <source>    from Tbl.: </source>
        <translation>    校正マップ: </translation>
    </message>
    <message>
        <source>Q.S. Fitted</source>
        <translation>二次曲面フィット</translation>
    </message>
    <message>
        <source>Val:</source>
        <translation>値:</translation>
    </message>
    <message>
        <source>Dark : </source>
        <translation>ダーク : </translation>
    </message>
    <message>
        <source>)</source>
        <translation>)</translation>
    </message>
    <message>
        <source>Save Img/Data</source>
        <translation>画像/データ保存</translation>
    </message>
    <message>
        <source>Cfg.</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Save Flat Dark</source>
        <translation>フラット/ダーク保存</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>画像を保存</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>データを保存</translation>
    </message>
    <message>
        <source>Save Proc. Data</source>
        <translation>処理データを保存</translation>
    </message>
    <message>
        <source>Save Each Spectrum</source>
        <translation>各点のスペクトルを保存</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>生データ</translation>
    </message>
    <message>
        <source>Raw XAFS</source>
        <translation>未規格化XAFS</translation>
    </message>
    <message>
        <source>Normalized XAFS</source>
        <translation>規格化XAFS</translation>
    </message>
    <message>
        <source>DeGlitch</source>
        <translation>グリッチ除去</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Deglitch Selected Map&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;選択マップのグリッチを除去&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>de Glitch</source>
        <translation>グリッチ除去</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Deglitch E-Shift Map&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;エネルギーシフトマップのグリッチを除去&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>NES</source>
        <translation>Eシフトのグリッチ除去</translation>
    </message>
    <message>
        <source>2.0</source>
        <translation>2.0</translation>
    </message>
    <message>
        <source>0.1</source>
        <translation>0.1</translation>
    </message>
    <message>
        <source>Extra</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>Exec F.A.</source>
        <translation>フーリエ解析実行</translation>
    </message>
    <message>
        <source>Show Img. Proc.</source>
        <translation>画像処理を表示</translation>
    </message>
    <message>
        <source>I0</source>
        <translation>I0</translation>
    </message>
    <message>
        <source>Res. Analysis</source>
        <translation>解析結果</translation>
    </message>
    <message>
        <source>Show Analyser2</source>
        <translation>解析パネル2を表示</translation>
    </message>
    <message>
        <source>Show Cali. Ctrl.</source>
        <translation>校正パネルを表示</translation>
    </message>
    <message>
        <source>Show Analyzer</source>
        <translation>解析パネルを表示</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>データ</translation>
    </message>
    <message>
        <source>Show Spectrum</source>
        <translation>スペクトルを表示</translation>
    </message>
    <message>
        <source>Img. Select :</source>
        <translation>画像選択 :</translation>
    </message>
    <message>
        <source>Eng. Shift</source>
        <translation>エネルギーシフト</translation>
    </message>
    <message>
        <source>Show Stats</source>
        <translation>統計を表示</translation>
    </message>
    <message>
        <source>Fluo. Type</source>
        <translation>蛍光法</translation>
    </message>
    <message>
        <source>Total I0 of I1</source>
        <translation>I1用 全I0</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>BG Data</source>
        <translation>バックグラウンドデータ</translation>
    </message>
    <message>
        <source>Total I0 of I0</source>
        <translation>I0用 全I0</translation>
    </message>
    <message>
        <source>Dark Data</source>
        <translation>ダークデータ</translation>
    </message>
    <message>
        <source>[ms]</source>
        <translation>[ms]</translation>
    </message>
    <message>
        <source>-20</source>
        <translation>-20</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>dPreE</source>
        <translation>dPreE</translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation>[eV]</translation>
    </message>
    <message>
        <source>dPostS</source>
        <translation>dPostS</translation>
    </message>
    <message>
        <source>Cu</source>
        <translation>Cu</translation>
    </message>
    <message>
        <source>Suggest Elm.</source>
        <translation>吸収元素を指定</translation>
    </message>
    <message>
        <source>K</source>
        <translation>K</translation>
    </message>
    <message>
        <source>L1</source>
        <translation>L1</translation>
    </message>
    <message>
        <source>L2</source>
        <translation>L2</translation>
    </message>
    <message>
        <source>L3</source>
        <translation>L3</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>sgm.</source>
        <translation>σ</translation>
    </message>
    <message>
        <source>Th. Jmp.</source>
        <translation>ジャンプしきい値</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Exp.</source>
        <translation>露光</translation>
    </message>
    <message>
        <source>Set All</source>
        <translation>全て設定</translation>
    </message>
    <message>
        <source>BG File</source>
        <translation>バックグラウンドファイル</translation>
    </message>
    <message>
        <source>BG Specturm</source>
        <translation>バックグラウンドスペクトル</translation>
    </message>
    <message>
        <source>Spectrum at the position</source>
        <translation>この位置のスペクトル</translation>
    </message>
    <message>
        <source>I1 Data</source>
        <translation>I1データ</translation>
    </message>
    <message>
        <source>I0 Data</source>
        <translation>I0データ</translation>
    </message>
    <message>
        <source>no I1 stack is loaded</source>
        <translation>I1 スタックが読み込まれていません</translation>
    </message>
    <message>
        <source>no bin of the selected region lies on the image</source>
        <translation>選択領域のビンが画像上にありません</translation>
    </message>
    <message>
        <source>no analysis is chosen</source>
        <translation>解析が選択されていません</translation>
    </message>
    <message>
        <source>Can&apos;t analyse: %1</source>
        <translation>解析できません: %1</translation>
    </message>
    <message>
        <source>Can&apos;t calibrate: %1</source>
        <translation>校正できません: %1</translation>
    </message>
    <message>
        <source>Can&apos;t load the %1 files: %2</source>
        <translation>%1 ファイルを読み込めません: %2</translation>
    </message>
    <message>
        <source>Can&apos;t save %1: the selected map holds no result</source>
        <translation>%1 を保存できません: 選択したマップに結果がありません</translation>
    </message>
    <message>
        <source>Can&apos;t save %1: no frame is shown</source>
        <translation>%1 を保存できません: フレームが表示されていません</translation>
    </message>
</context>
<context>
    <name>CalibCtrl</name>
    <message>
        <source>Calibration</source>
        <translation>エネルギー校正</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victoreen</translation>
    </message>
    <message>
        <source>Exec Calib.</source>
        <translation>校正を実行</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Clear Map</source>
        <translation>マップをクリア</translation>
    </message>
    <message>
        <source>Calib. Conditions</source>
        <translation>校正条件</translation>
    </message>
    <message>
        <source>dMidx</source>
        <translation>dMidx</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Calibrate by checking the difference of dMidx, which is a point defined as a cross point of a spectrum and mean value of pre- and post-edge lines.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;dMidx（スペクトルと、吸収端前後の直線の平均との交点）の差から校正します。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>inner P.</source>
        <translation>内積</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Calibrate by checking normalized inner products of the spectrum at the point and the standard spectrum. &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;その点のスペクトルと標準スペクトルの規格化内積から校正します。 &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Initial E-range</source>
        <translation>初期エネルギー範囲</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>E-step</source>
        <translation>エネルギーステップ</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Min. E-step</source>
        <translation>最小エネルギーステップ</translation>
    </message>
    <message>
        <source>0.1</source>
        <translation>0.1</translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation>[eV]</translation>
    </message>
    <message>
        <source>Std. :</source>
        <translation>標準 :</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>簡易</translation>
    </message>
    <message>
        <source>Target :</source>
        <translation>対象 :</translation>
    </message>
    <message>
        <source>Statistic &amp; Properties</source>
        <translation>統計と属性</translation>
    </message>
    <message>
        <source>Delta Energy DMin.</source>
        <translation>エネルギー差 最小</translation>
    </message>
    <message>
        <source>background-color: rgb(255, 255, 231);</source>
        <translation>background-color: rgb(255, 255, 231);</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Avr.</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>sigma</source>
        <translation>標準偏差</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>幅</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高さ</translation>
    </message>
    <message>
        <source>X Offset</source>
        <translation>X オフセット</translation>
    </message>
    <message>
        <source>Y Offset</source>
        <translation>Y オフセット</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読込</translation>
    </message>
    <message>
        <source>Chk. Size</source>
        <translation>サイズを確認</translation>
    </message>
    <message>
        <source>Select Std.</source>
        <translation>標準を選択</translation>
    </message>
</context>
<context>
    <name>ConnectStat</name>
    <message>
        <source>Disconnected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Connecting</source>
        <translation>接続中</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>接続済み</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
</context>
<context>
    <name>ElemCtrl</name>
    <message>
        <source>Frame</source>
        <translation>フレーム</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>対象</translation>
    </message>
    <message>
        <source>H</source>
        <translation>H</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Expected Absorption Edge.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;予想される吸収端。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>0.0</source>
        <translation>0.0</translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation>[eV]</translation>
    </message>
    <message>
        <source>Pre/Post dE</source>
        <translation>前後dE</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>[eV] Th</source>
        <translation>[eV] しきい値</translation>
    </message>
    <message>
        <source>0.5</source>
        <translation>0.5</translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比率</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Relative strength of the dmut against the dmut of selecte element as Target.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;対象として選んだ元素のdmutに対するdmutの相対強度。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>1.0</source>
        <translation>1.0</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Position of the absorption edge, where the mut is ( mu(E0+dE) + mu(E0-dE) ) / 2.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;吸収端の位置。mut が ( mu(E0+dE) + mu(E0-dE) ) / 2 となる点。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Start position of the ROI.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;ROIの開始位置。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>7000</source>
        <translation>7000</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;End position of the ROI.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;ROIの終了位置。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>7005</source>
        <translation>7005</translation>
    </message>
    <message>
        <source>Th dmut</source>
        <translation>dmutしきい値</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Threshold value of the dmut.&lt;/p&gt;&lt;p&gt;When the dmut is less than the Threshold, most of the values (ROI, dmut,...) is set at BG Val.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;dmutのしきい値。&lt;/p&gt;&lt;p&gt;dmutがしきい値より小さいとき、ほとんどの値（ROI、dmut など）はバックグラウンド値になります。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>0.1</source>
        <translation>0.1</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;When the ROI is negative, the BG value is used instead of the calculated one.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;ROIが負のとき、計算値の代わりにバックグラウンド値を使います。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>No Neg</source>
        <translation>負値なし</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;ROI Value&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;ROI値&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Normalized ROI value calculated as ROI / dmut.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;ROI / dmut として計算した規格化ROI値。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Std. Ratio</source>
        <translation>標準比</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;dmut is calculated as the mean of mu over [E0+dE, E0+2dE] minus the mean of mu over [E0-2dE, E0-dE].&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;dmut は [E0+dE, E0+2dE] での mu の平均から [E0-2dE, E0-dE] での mu の平均を引いて計算します。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>EngOfFilesSetup</name>
    <message>
        <source>Frame</source>
        <translation>フレーム</translation>
    </message>
    <message>
        <source>Energy Cal. from File Name</source>
        <translation>ファイル名からエネルギーを算出</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>パターン</translation>
    </message>
    <message>
        <source>{Reg. Exp]</source>
        <translation>{正規表現]</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>係数</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Energy Cal. from Ref. File</source>
        <translation>参照ファイルからエネルギーを算出</translation>
    </message>
    <message>
        <source>Sel.</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Correspond from End</source>
        <translation>末尾から対応</translation>
    </message>
    <message>
        <source>Energy Cal. from File No.</source>
        <translation>ファイル番号からエネルギーを算出</translation>
    </message>
    <message>
        <source>Sel. Unit</source>
        <translation>単位選択</translation>
    </message>
    <message>
        <source>eV</source>
        <translation>eV</translation>
    </message>
    <message>
        <source>keV</source>
        <translation>keV</translation>
    </message>
    <message>
        <source>deg</source>
        <translation>deg</translation>
    </message>
    <message>
        <source>Even in</source>
        <translation>等間隔:</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>エネルギー</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>角度</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>8000</source>
        <translation>8000</translation>
    </message>
    <message>
        <source>Delta</source>
        <translation>刻み</translation>
    </message>
    <message>
        <source>End</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>9000</source>
        <translation>9000</translation>
    </message>
    <message>
        <source>Num</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
</context>
<context>
    <name>FVView</name>
    <message>
        <source>%1 points; left out: %2 bins without a maximum, %3 without e2</source>
        <translation>%1 点。除外: 極大のないビン %2、e2 のないビン %3</translation>
    </message>
    <message>
        <source>Show FV</source>
        <translation>特徴量表示</translation>
    </message>
    <message>
        <source>Kernel:</source>
        <translation>カーネル:</translation>
    </message>
    <message>
        <source>HW</source>
        <translation>半幅</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Border Val.</source>
        <translation>境界値</translation>
    </message>
    <message>
        <source>0.01</source>
        <translation>0.01</translation>
    </message>
    <message>
        <source>Color Range</source>
        <translation>色範囲</translation>
    </message>
    <message>
        <source>0.002</source>
        <translation>0.002</translation>
    </message>
    <message>
        <source>ReDraw</source>
        <translation>再描画</translation>
    </message>
</context>
<context>
    <name>FieldValue</name>
    <message>
        <source>%1 &quot;%2&quot; is no whole number of 0 or more</source>
        <translation>%1 「%2」は 0 以上の整数ではありません</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is no whole number of 1 or more</source>
        <translation>%1 「%2」は 1 以上の整数ではありません</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is no whole number</source>
        <translation>%1 「%2」は整数ではありません</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is no number</source>
        <translation>%1 「%2」は数値ではありません</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is no number of 0 or more</source>
        <translation>%1 「%2」は 0 以上の数値ではありません</translation>
    </message>
</context>
<context>
    <name>ImgProc</name>
    <message>
        <source>Image Processor</source>
        <translation>画像処理</translation>
    </message>
    <message>
        <source>Comp.</source>
        <translation>比較</translation>
    </message>
    <message>
        <source>S.P.</source>
        <translation>内積</translation>
    </message>
    <message>
        <source>background-color: rgb(255, 255, 231);</source>
        <translation>background-color: rgb(255, 255, 231);</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Shift X:</source>
        <translation>シフト X:</translation>
    </message>
    <message>
        <source>Y:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Edge Detect</source>
        <translation>エッジ検出</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二値化</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Th.</source>
        <translation>しきい値</translation>
    </message>
    <message>
        <source>Set Ref.</source>
        <translation>参照に設定</translation>
    </message>
    <message>
        <source>Auto Shift</source>
        <translation>自動シフト</translation>
    </message>
    <message>
        <source>A. A. Shift</source>
        <translation>常に自動シフト</translation>
    </message>
    <message>
        <source>Set Shift</source>
        <translation>シフト設定</translation>
    </message>
    <message>
        <source>A. Set Shift</source>
        <translation>自動でシフトを設定</translation>
    </message>
    <message>
        <source>Clear All Shifts</source>
        <translation>全シフトをクリア</translation>
    </message>
    <message>
        <source>Image Processor - I1 frame %1</source>
        <translation>画像処理 - I1 フレーム %1</translation>
    </message>
</context>
<context>
    <name>LCFReference</name>
    <message>
        <source>LCFReference</source>
        <translation>LCF参照</translation>
    </message>
    <message>
        <source>  dE [eV]</source>
        <translation>  dE [eV]</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>dMut</source>
        <translation>dMut</translation>
    </message>
    <message>
        <source>at</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>[eV]  </source>
        <translation>[eV]  </translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victoreen</translation>
    </message>
    <message>
        <source>[%]  </source>
        <translation>[%]  </translation>
    </message>
    <message>
        <source>mut</source>
        <translation>mut</translation>
    </message>
</context>
<context>
    <name>SaveDataCfg</name>
    <message>
        <source>Save Data Configuration</source>
        <translation>データ保存の設定</translation>
    </message>
    <message>
        <source>Save as Tiff</source>
        <translation>TIFFで保存</translation>
    </message>
    <message>
        <source>Save as Text data</source>
        <translation>テキストデータで保存</translation>
    </message>
    <message>
        <source>Fixed Scale</source>
        <translation>スケール固定</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>  Max</source>
        <translation>  最大</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Save as Analyzed Area Size and Resolution</source>
        <translation>解析領域の大きさと分解能で保存</translation>
    </message>
    <message>
        <source>Comma Separated</source>
        <translation>カンマ区切り</translation>
    </message>
    <message>
        <source>Space Separated</source>
        <translation>空白区切り</translation>
    </message>
    <message>
        <source>X Y Val : 1point/1line</source>
        <translation>X Y 値 : 1行に1点</translation>
    </message>
    <message>
        <source>Val1 Val2 Val3... : each Y line</source>
        <translation>値1 値2 値3... : Yごとに1行</translation>
    </message>
</context>
<context>
    <name>SelectDataFiles</name>
    <message>
        <source>SelectDataFiles</source>
        <translation>データファイル選択</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Data Select</source>
        <translation>データ選択</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>間引き</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Cut F.</source>
        <translation>先頭除外</translation>
    </message>
    <message>
        <source>Cut L.</source>
        <translation>末尾除外</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The exporsure eime is used when the time is not recorded in image file.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;画像ファイルに露光時間が記録されていないときに使う露光時間。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Exp.</source>
        <translation>露光</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>[ms]</source>
        <translation>[ms]</translation>
    </message>
    <message>
        <source>X ax.</source>
        <translation>X軸</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Add. Setup</source>
        <translation>追加設定</translation>
    </message>
</context>
<context>
    <name>SelectDataFilesAdditionalSetup</name>
    <message>
        <source>Select Data Files Additional Setup</source>
        <translation>データファイル選択の追加設定</translation>
    </message>
    <message>
        <source>Set Dark Area</source>
        <translation>ダーク領域を設定</translation>
    </message>
    <message>
        <source>Up Date</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>CLR</source>
        <translation>消去</translation>
    </message>
    <message>
        <source>Dark Area:</source>
        <translation>ダーク領域:</translation>
    </message>
    <message>
        <source>(-,-)-(-,-)</source>
        <translation>(-,-)-(-,-)</translation>
    </message>
    <message>
        <source>Show Latest Image on Load</source>
        <translation>読込中に最新画像を表示</translation>
    </message>
    <message>
        <source>Ignore  &apos;Live&apos; file</source>
        <translation>&apos;Live&apos; ファイルを無視</translation>
    </message>
    <message>
        <source>Select Err. Ps. Def.</source>
        <translation>エラー点定義を選択</translation>
    </message>
    <message>
        <source>Use Err Points Mask</source>
        <translation>エラー点マスクを使用</translation>
    </message>
</context>
<context>
    <name>Stars</name>
    <message>
        <source>Stars Settings</source>
        <translation>Stars 設定</translation>
    </message>
    <message>
        <source>Name on Stares</source>
        <translation>Stars 上の名前</translation>
    </message>
    <message>
        <source>Key File Name</source>
        <translation>キーファイル名</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>ホスト</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>ポート</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Stars:</source>
        <translation>Stars接続:</translation>
    </message>
    <message>
        <source>Brannoch</source>
        <translation>Brannoch</translation>
    </message>
    <message>
        <source>Brannoch.key</source>
        <translation>Brannoch.key</translation>
    </message>
    <message>
        <source>localhost</source>
        <translation>localhost</translation>
    </message>
    <message>
        <source>6057</source>
        <translation>6057</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>background-color: rgb(225, 192, 192);</source>
        <translation>background-color: rgb(225, 192, 192);</translation>
    </message>
</context>
<context>
    <name>Stats</name>
    <message>
        <source>Statistics</source>
        <translation>統計</translation>
    </message>
    <message>
        <source>Show Over Image</source>
        <translation>画像に重ねて表示</translation>
    </message>
    <message>
        <source>Bins</source>
        <translation>ビン数</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Val/Max</source>
        <translation>値/最大</translation>
    </message>
    <message>
        <source>Num</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>Sigam</source>
        <translation>標準偏差</translation>
    </message>
    <message>
        <source>In Selected Area:</source>
        <translation>選択領域内:</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>標準偏差</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Show Stats in Selected Area</source>
        <translation>選択領域の統計を表示</translation>
    </message>
</context>
<context>
    <name>SumUpCtrl</name>
    <message>
        <source>Sum Up Control</source>
        <translation>積算の設定</translation>
    </message>
    <message>
        <source>Sum Up Img No. From:</source>
        <translation>積算する画像番号 開始:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>終了:</translation>
    </message>
    <message>
        <source>1000</source>
        <translation>1000</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>削除</translation>
    </message>
</context>
<context>
    <name>XafsFileSelect</name>
    <message>
        <source>XAFS File Select</source>
        <translation>XAFSファイル選択</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
</context>
<context>
    <name>XafsView</name>
    <message>
        <source>XAFS</source>
        <translation>XAFS</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Normalized</source>
        <translation>規格化</translation>
    </message>
    <message>
        <source>E. Correct</source>
        <translation>エネルギー補正</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>生</translation>
    </message>
    <message>
        <source>FFT</source>
        <translation>FFT</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Reset X Axis Scale&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;X軸のスケールを初期化&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>S.R.</source>
        <translation>X全域</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>注記</translation>
    </message>
    <message>
        <source>To Network</source>
        <translation>ネットワークへ送信</translation>
    </message>
    <message>
        <source>Can&apos;t save %1: no spectrum is shown</source>
        <translation>%1 を保存できません: スペクトルが表示されていません</translation>
    </message>
</context>
<context>
    <name>_FileDialog</name>
    <message>
        <source>Nothing was saved to %1</source>
        <translation>%1 には何も保存されていません</translation>
    </message>
</context>
</TS>
