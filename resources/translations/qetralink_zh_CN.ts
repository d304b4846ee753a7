<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AddressList</name>
    <message>
        <source>Addresses: &quot;%1&quot; is not an address or a range of %2 to %3</source>
        <translation>地址：&quot;%1&quot; 不是 %2 到 %3 之间的地址或地址范围</translation>
    </message>
    <message>
        <source>Addresses: type the meters&apos; addresses, %1 to %2 (&quot;1-12, 17&quot;)</source>
        <translation>地址：请输入仪表地址，%1 到 %2（&quot;1-12, 17&quot;）</translation>
    </message>
    <message>
        <source>The stored address list held entries outside %1 to %2; they were dropped: %3</source>
        <translation>保存的地址列表中有 %1 到 %2 以外的条目，已删除：%3</translation>
    </message>
</context>
<context>
    <name>AlarmCodec</name>
    <message>
        <source>Alarm Parameter error!
</source>
        <translation>报警参数错误！
</translation>
    </message>
    <message>
        <source>Group %1: </source>
        <translation>第 %1 组：</translation>
    </message>
    <message>
        <source>%1 has no selection (%2).</source>
        <translation>%1 未选择（%2）。</translation>
    </message>
    <message>
        <source>Alarm Item error!
</source>
        <translation>报警项目错误！
</translation>
    </message>
    <message>
        <source>no alarm item is selected.</source>
        <translation>未选择报警项目。</translation>
    </message>
    <message>
        <source>Value &quot;%1&quot; is not a number as this desktop writes them (like &quot;%2&quot;).</source>
        <translation>数值“%1”不是本桌面所用格式的数字（例如“%2”）。</translation>
    </message>
    <message>
        <source>Value cannot be converted with the meter&apos;s PT ratio %1 and CT ratio %2.</source>
        <translation>无法用仪表的 PT 变比 %1 和 CT 变比 %2 换算该数值。</translation>
    </message>
    <message>
        <source>Value &quot;%1&quot; is outside %2 .. %3.</source>
        <translation>数值“%1”超出 %2 .. %3。</translation>
    </message>
    <message>
        <source>Alarm Delay has no selection (0 .. %1 ms).</source>
        <translation>报警延时未选择（0 .. %1 ms）。</translation>
    </message>
    <message>
        <source>F (Frequency)</source>
        <translation>F（频率）</translation>
    </message>
    <message>
        <source>V1 (Phase A Voltage)</source>
        <translation>V1（A 相电压）</translation>
    </message>
    <message>
        <source>V2 (Phase B Voltage)</source>
        <translation>V2（B 相电压）</translation>
    </message>
    <message>
        <source>V3 (Phase C Voltage)</source>
        <translation>V3（C 相电压）</translation>
    </message>
    <message>
        <source>Vlnavg (Phase Voltage Average)</source>
        <translation>Vlnavg（相电压平均值）</translation>
    </message>
    <message>
        <source>V12 (Line AB Voltage)</source>
        <translation>V12（AB 线电压）</translation>
    </message>
    <message>
        <source>V23 (Line BC Voltage)</source>
        <translation>V23（BC 线电压）</translation>
    </message>
    <message>
        <source>V31 (Line CA Voltage)</source>
        <translation>V31（CA 线电压）</translation>
    </message>
    <message>
        <source>Vllavg (Line Voltage Average)</source>
        <translation>Vllavg（线电压平均值）</translation>
    </message>
    <message>
        <source>I1 (Current A)</source>
        <translation>I1（A 相电流）</translation>
    </message>
    <message>
        <source>I2 (Current B)</source>
        <translation>I2（B 相电流）</translation>
    </message>
    <message>
        <source>I3 (Current C)</source>
        <translation>I3（C 相电流）</translation>
    </message>
    <message>
        <source>Iavg (Current Average)</source>
        <translation>Iavg（电流平均值）</translation>
    </message>
    <message>
        <source>In (Neutral Current)</source>
        <translation>In（零线电流）</translation>
    </message>
    <message>
        <source>P1 (Power 1)</source>
        <translation>P1（A 相有功功率）</translation>
    </message>
    <message>
        <source>P2 (Power 2)</source>
        <translation>P2（B 相有功功率）</translation>
    </message>
    <message>
        <source>P3 (Power 3)</source>
        <translation>P3（C 相有功功率）</translation>
    </message>
    <message>
        <source>Psum (Power)</source>
        <translation>Psum（总有功功率）</translation>
    </message>
    <message>
        <source>Q1 (Reactive Power 1)</source>
        <translation>Q1（A 相无功功率）</translation>
    </message>
    <message>
        <source>Q2 (Reactive Power 2)</source>
        <translation>Q2（B 相无功功率）</translation>
    </message>
    <message>
        <source>Q3 (Reactive Power 3)</source>
        <translation>Q3（C 相无功功率）</translation>
    </message>
    <message>
        <source>Qsum (Reactive Power)</source>
        <translation>Qsum（总无功功率）</translation>
    </message>
    <message>
        <source>S1 (Apparent Power 1)</source>
        <translation>S1（A 相视在功率）</translation>
    </message>
    <message>
        <source>S2 (Apparent Power 2)</source>
        <translation>S2（B 相视在功率）</translation>
    </message>
    <message>
        <source>S3 (Apparent Power 3)</source>
        <translation>S3（C 相视在功率）</translation>
    </message>
    <message>
        <source>Ssum (Apparent Power)</source>
        <translation>Ssum（总视在功率）</translation>
    </message>
    <message>
        <source>PF1 (Power Factor 1)</source>
        <translation>PF1（A 相功率因数）</translation>
    </message>
    <message>
        <source>PF2 (Power Factor 2)</source>
        <translation>PF2（B 相功率因数）</translation>
    </message>
    <message>
        <source>PF3 (Power Factor 3)</source>
        <translation>PF3（C 相功率因数）</translation>
    </message>
    <message>
        <source>PF (Power Factor)</source>
        <translation>PF（总功率因数）</translation>
    </message>
    <message>
        <source>U_unbl (Voltage Unbalance Factor)</source>
        <translation>U_unbl（电压不平衡度）</translation>
    </message>
    <message>
        <source>I_unbl (Current Unbalance Factor)</source>
        <translation>I_unbl（电流不平衡度）</translation>
    </message>
    <message>
        <source>Dmd_P (Power Demand)</source>
        <translation>Dmd_P（有功功率需量）</translation>
    </message>
    <message>
        <source>Dmd_Q (Reactive Power Demand)</source>
        <translation>Dmd_Q（无功功率需量）</translation>
    </message>
    <message>
        <source>Dmd_S (Apparent Power Demand)</source>
        <translation>Dmd_S（视在功率需量）</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>OFF or ACTIVE</source>
        <translation>关或启用</translation>
    </message>
    <message>
        <source>OFF or ON</source>
        <translation>关或开</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>限值方向</translation>
    </message>
    <message>
        <source>Below or Above</source>
        <translation>低于或高于</translation>
    </message>
    <message>
        <source>Value %1.</source>
        <translation>数值 %1。</translation>
    </message>
</context>
<context>
    <name>AlarmRecords</name>
    <message>
        <source>Alarm Record %1</source>
        <translation>报警记录 %1</translation>
    </message>
</context>
<context>
    <name>AlarmWindows</name>
    <message>
        <source>Alarm Parameters have modified successfully!</source>
        <translation>报警参数修改成功！</translation>
    </message>
</context>
<context>
    <name>BusMeterState</name>
    <message>
        <source>silent since %1</source>
        <translation>自 %1 起无应答</translation>
    </message>
    <message>
        <source>not asked yet</source>
        <translation>尚未询问</translation>
    </message>
    <message>
        <source>no answer yet</source>
        <translation>尚无应答</translation>
    </message>
    <message>
        <source>answering</source>
        <translation>应答中</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
</context>
<context>
    <name>CalibrationRun</name>
    <message>
        <source>原始数据读取计算完毕，写入模校正系数吗（仅电流部分）?</source>
        <translation>原始数据读取计算完毕，写入模校正系数吗（仅电流部分）?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入模校正系数吗?</source>
        <translation>原始数据读取计算完毕，写入模校正系数吗?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入模校正系数吗（仅电压部分）?</source>
        <translation>原始数据读取计算完毕，写入模校正系数吗（仅电压部分）?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入角差校正常数吗（仅电流部分）?</source>
        <translation>原始数据读取计算完毕，写入角差校正常数吗（仅电流部分）?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入角差校正系数吗?</source>
        <translation>原始数据读取计算完毕，写入角差校正系数吗?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入角差校正系数吗（仅电压部分）?</source>
        <translation>原始数据读取计算完毕，写入角差校正系数吗（仅电压部分）?</translation>
    </message>
    <message>
        <source>The meter&apos;s coefficients have not been read yet, so the corrections cannot be added to them. Nothing was written.</source>
        <translation>尚未读取仪表的系数，无法叠加校正量。未写入任何内容。</translation>
    </message>
    <message>
        <source>%1: %2 %3 %4 = %5 lies outside %6..%7, the range the coefficient can take. Nothing was written.</source>
        <translation>%1：%2 %3 %4 = %5 超出系数可取的范围 %6..%7。未写入任何内容。</translation>
    </message>
</context>
<context>
    <name>CalibrationWindows</name>
    <message>
        <source>Modular Coefficients have modified successfully!</source>
        <translation>模值系数修改成功！</translation>
    </message>
    <message>
        <source>Angle Difference Const has modified successfully!</source>
        <translation>角差常数修改成功！</translation>
    </message>
    <message>
        <source>Meter Display Mode has modified successfully!</source>
        <translation>仪表显示模式修改成功！</translation>
    </message>
</context>
<context>
    <name>ChangedFields</name>
    <message>
        <source>Nothing differs from what the meter holds.</source>
        <translation>与仪表中的值没有不同。</translation>
    </message>
</context>
<context>
    <name>CoefficientMessages</name>
    <message>
        <source>%1 (%2) holds &quot;%3&quot;: a coefficient must be a whole number from %4 to %5. Nothing was written.</source>
        <translation>%1（%2）中为“%3”：系数必须是 %4 到 %5 之间的整数。未写入任何内容。</translation>
    </message>
    <message>
        <source>输入读取次数 &quot;%1&quot;: the number of readings must be a whole number from 1 to %2. No calibration was started.</source>
        <translation>输入读取次数 &quot;%1&quot;: the number of readings must be a whole number from 1 to %2. No calibration was started.</translation>
    </message>
</context>
<context>
    <name>CommissioningReport</name>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>V1</source>
        <translation>V1</translation>
    </message>
    <message>
        <source>V2</source>
        <translation>V2</translation>
    </message>
    <message>
        <source>V3</source>
        <translation>V3</translation>
    </message>
    <message>
        <source>V avg (L-N)</source>
        <translation>相电压平均值</translation>
    </message>
    <message>
        <source>V12</source>
        <translation>V12</translation>
    </message>
    <message>
        <source>V23</source>
        <translation>V23</translation>
    </message>
    <message>
        <source>V31</source>
        <translation>V31</translation>
    </message>
    <message>
        <source>V avg (L-L)</source>
        <translation>线电压平均值</translation>
    </message>
    <message>
        <source>I1</source>
        <translation>I1</translation>
    </message>
    <message>
        <source>I2</source>
        <translation>I2</translation>
    </message>
    <message>
        <source>I3</source>
        <translation>I3</translation>
    </message>
    <message>
        <source>I avg</source>
        <translation>电流平均值</translation>
    </message>
    <message>
        <source>In</source>
        <translation>In</translation>
    </message>
    <message>
        <source>P1</source>
        <translation>P1</translation>
    </message>
    <message>
        <source>P2</source>
        <translation>P2</translation>
    </message>
    <message>
        <source>P3</source>
        <translation>P3</translation>
    </message>
    <message>
        <source>P sum</source>
        <translation>总有功功率</translation>
    </message>
    <message>
        <source>Q1</source>
        <translation>Q1</translation>
    </message>
    <message>
        <source>Q2</source>
        <translation>Q2</translation>
    </message>
    <message>
        <source>Q3</source>
        <translation>Q3</translation>
    </message>
    <message>
        <source>Q sum</source>
        <translation>总无功功率</translation>
    </message>
    <message>
        <source>S1</source>
        <translation>S1</translation>
    </message>
    <message>
        <source>S2</source>
        <translation>S2</translation>
    </message>
    <message>
        <source>S3</source>
        <translation>S3</translation>
    </message>
    <message>
        <source>S sum</source>
        <translation>总视在功率</translation>
    </message>
    <message>
        <source>PF1</source>
        <translation>PF1</translation>
    </message>
    <message>
        <source>PF2</source>
        <translation>PF2</translation>
    </message>
    <message>
        <source>PF3</source>
        <translation>PF3</translation>
    </message>
    <message>
        <source>PF</source>
        <translation>PF</translation>
    </message>
    <message>
        <source>Voltage unbalance</source>
        <translation>电压不平衡度</translation>
    </message>
    <message>
        <source>Current unbalance</source>
        <translation>电流不平衡度</translation>
    </message>
    <message>
        <source>Load type</source>
        <translation>负载性质</translation>
    </message>
    <message>
        <source>Demand P</source>
        <translation>有功需量</translation>
    </message>
    <message>
        <source>Demand Q</source>
        <translation>无功需量</translation>
    </message>
    <message>
        <source>Demand S</source>
        <translation>视在需量</translation>
    </message>
    <message>
        <source>Ep_imp</source>
        <translation>Ep_imp</translation>
    </message>
    <message>
        <source>Ep_exp</source>
        <translation>Ep_exp</translation>
    </message>
    <message>
        <source>Eq_imp</source>
        <translation>Eq_imp</translation>
    </message>
    <message>
        <source>Eq_exp</source>
        <translation>Eq_exp</translation>
    </message>
    <message>
        <source>Ep_total</source>
        <translation>Ep_total</translation>
    </message>
    <message>
        <source>Ep_net</source>
        <translation>Ep_net</translation>
    </message>
    <message>
        <source>Eq_total</source>
        <translation>Eq_total</translation>
    </message>
    <message>
        <source>Eq_net</source>
        <translation>Eq_net</translation>
    </message>
    <message>
        <source>V2 behind V1</source>
        <translation>V2 滞后 V1</translation>
    </message>
    <message>
        <source>V3 behind V1</source>
        <translation>V3 滞后 V1</translation>
    </message>
    <message>
        <source>I1 behind V1</source>
        <translation>I1 滞后 V1</translation>
    </message>
    <message>
        <source>I2 behind V1</source>
        <translation>I2 滞后 V1</translation>
    </message>
    <message>
        <source>I3 behind V1</source>
        <translation>I3 滞后 V1</translation>
    </message>
    <message>
        <source>V23 behind V12</source>
        <translation>V23 滞后 V12</translation>
    </message>
    <message>
        <source>I1 behind V12</source>
        <translation>I1 滞后 V12</translation>
    </message>
    <message>
        <source>I3 behind V12</source>
        <translation>I3 滞后 V12</translation>
    </message>
    <message>
        <source>THD V1</source>
        <translation>THD V1</translation>
    </message>
    <message>
        <source>THD V2</source>
        <translation>THD V2</translation>
    </message>
    <message>
        <source>THD V3</source>
        <translation>THD V3</translation>
    </message>
    <message>
        <source>THD V avg</source>
        <translation>THD V 平均</translation>
    </message>
    <message>
        <source>THD I1</source>
        <translation>THD I1</translation>
    </message>
    <message>
        <source>THD I2</source>
        <translation>THD I2</translation>
    </message>
    <message>
        <source>THD I3</source>
        <translation>THD I3</translation>
    </message>
    <message>
        <source>THD I avg</source>
        <translation>THD I 平均</translation>
    </message>
    <message>
        <source>0 s (in step)</source>
        <translation>0 秒（同步）</translation>
    </message>
    <message>
        <source>%1%2 s (meter %3)</source>
        <translation>%1%2 秒（仪表%3）</translation>
    </message>
    <message>
        <source>ahead</source>
        <translation>超前</translation>
    </message>
    <message>
        <source>behind</source>
        <translation>滞后</translation>
    </message>
    <message>
        <source>1  Site</source>
        <translation>1  现场</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>现场</translation>
    </message>
    <message>
        <source>Feeder / panel</source>
        <translation>馈线 / 配电柜</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>调试人员</translation>
    </message>
    <message>
        <source>PC date and time</source>
        <translation>电脑日期和时间</translation>
    </message>
    <message>
        <source>Meter clock</source>
        <translation>仪表时钟</translation>
    </message>
    <message>
        <source>Meter clock - PC</source>
        <translation>仪表时钟 - 电脑</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>2  Meter</source>
        <translation>2  仪表</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <source>Address (asked)</source>
        <translation>地址（请求）</translation>
    </message>
    <message>
        <source>Address (meter)</source>
        <translation>地址（仪表）</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>%1 bps</source>
        <translation>%1 bps</translation>
    </message>
    <message>
        <source>Run time</source>
        <translation>运行时间</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>3  Configuration</source>
        <translation>3  配置</translation>
    </message>
    <message>
        <source>Meter settings</source>
        <translation>仪表设置</translation>
    </message>
    <message>
        <source>PT ratio</source>
        <translation>PT 变比</translation>
    </message>
    <message>
        <source>CT ratio</source>
        <translation>CT 变比</translation>
    </message>
    <message>
        <source>Alarm groups</source>
        <translation>报警组</translation>
    </message>
    <message>
        <source>Alarm settings</source>
        <translation>报警设置</translation>
    </message>
    <message>
        <source>Group %1</source>
        <translation>第 %1 组</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>ACTIVE</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Below</source>
        <translation>低于</translation>
    </message>
    <message>
        <source>Above</source>
        <translation>高于</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>组</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>DO1</source>
        <translation>DO1</translation>
    </message>
    <message>
        <source>DO2</source>
        <translation>DO2</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>报警项目</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>限值方向</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>限值</translation>
    </message>
    <message>
        <source>Alarm delay</source>
        <translation>报警延时</translation>
    </message>
    <message>
        <source>4  Measurements</source>
        <translation>4  测量值</translation>
    </message>
    <message>
        <source>Metering values</source>
        <translation>测量值</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>温度</translation>
    </message>
    <message>
        <source>5  Wiring</source>
        <translation>5  接线</translation>
    </message>
    <message>
        <source>Phase angles</source>
        <translation>相角</translation>
    </message>
    <message>
        <source>Wiring check: %1 (it needs the phase angles and the metering values of one snapshot)</source>
        <translation>接线检查：%1（需要同一次读取的相角和测量值）</translation>
    </message>
    <message>
        <source>Wiring check</source>
        <translation>接线检查</translation>
    </message>
    <message>
        <source>6  Power quality</source>
        <translation>6  电能质量</translation>
    </message>
    <message>
        <source>THD</source>
        <translation>THD</translation>
    </message>
    <message>
        <source>Current spectrum</source>
        <translation>电流谐波频谱</translation>
    </message>
    <message>
        <source>Harmonic current in % of the fundamental</source>
        <translation>谐波电流占基波的百分比</translation>
    </message>
    <message>
        <source>7  Max/Min and alarm records</source>
        <translation>7  最大/最小值和报警记录</translation>
    </message>
    <message>
        <source>Max Value</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>at</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Min Value</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>Alarm records</source>
        <translation>报警记录</translation>
    </message>
    <message>
        <source>8  The line</source>
        <translation>8  通讯线路</translation>
    </message>
    <message>
        <source>Requests sent</source>
        <translation>已发送请求</translation>
    </message>
    <message>
        <source>Good replies</source>
        <translation>正确应答</translation>
    </message>
    <message>
        <source>No response</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>CRC errors</source>
        <translation>CRC 错误</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>调试报告</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>未读取</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>not read (needs the meter settings)</source>
        <translation>未读取（需要仪表设置）</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>仪表设置</translation>
    </message>
    <message>
        <source>model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>clock</source>
        <translation>时钟</translation>
    </message>
    <message>
        <source>run time</source>
        <translation>运行时间</translation>
    </message>
    <message>
        <source>metering values</source>
        <translation>测量值</translation>
    </message>
    <message>
        <source>temperature</source>
        <translation>温度</translation>
    </message>
    <message>
        <source>relay outputs</source>
        <translation>继电器输出</translation>
    </message>
    <message>
        <source>digital inputs</source>
        <translation>开关量输入</translation>
    </message>
    <message>
        <source>phase angles</source>
        <translation>相角</translation>
    </message>
    <message>
        <source>current spectrum</source>
        <translation>电流谐波频谱</translation>
    </message>
    <message>
        <source>maxima</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>minima</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>alarm settings</source>
        <translation>报警设置</translation>
    </message>
    <message>
        <source>alarm records</source>
        <translation>报警记录</translation>
    </message>
    <message>
        <source>wiring not checked</source>
        <translation>接线未检查</translation>
    </message>
    <message>
        <source>wiring looks right</source>
        <translation>接线正确</translation>
    </message>
    <message>
        <source>no alarm active</source>
        <translation>无报警</translation>
    </message>
    <message>
        <source>alarm active in group %1</source>
        <translation>第 %1 组报警中</translation>
    </message>
    <message>
        <source>every block read</source>
        <translation>所有数据块已读取</translation>
    </message>
    <message>
        <source>not read: %1</source>
        <translation>未读取：%1</translation>
    </message>
    <message>
        <source>Verdict: %1</source>
        <translation>结论：%1</translation>
    </message>
    <message>
        <source>9  Hand-over</source>
        <translation>9  交接签字</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>客户</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>姓名</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>签字</translation>
    </message>
    <message>
        <source>No alarm records</source>
        <translation>无报警记录</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>事件</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>numbers in %1: %2</source>
        <translation>数字格式 %1：%2</translation>
    </message>
</context>
<context>
    <name>ConfigTransfer</name>
    <message>
        <source>&quot;%1&quot; is not an address or a range like 1-20</source>
        <translation>“%1”不是地址，也不是 1-20 这样的范围</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not within 1..247 (first not above last)</source>
        <translation>“%1”不在 1..247 之内（起始值不得大于结束值）</translation>
    </message>
    <message>
        <source>address %1 is listed twice</source>
        <translation>地址 %1 列出了两次</translation>
    </message>
</context>
<context>
    <name>FormAlarm</name>
    <message>
        <source>Alarm Parameters</source>
        <translation>报警参数</translation>
    </message>
    <message>
        <source>Group 1</source>
        <translation>第 1 组</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>U_unbl (Voltage Unbalance Factor)</source>
        <translation>U_unbl（电压不平衡度）</translation>
    </message>
    <message>
        <source>Dmd_P</source>
        <translation>Dmd_P</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>报警</translation>
    </message>
    <message>
        <source>Group 2</source>
        <translation>第 2 组</translation>
    </message>
    <message>
        <source>Group 3</source>
        <translation>第 3 组</translation>
    </message>
    <message>
        <source>Group 4</source>
        <translation>第 4 组</translation>
    </message>
    <message>
        <source>Group 5</source>
        <translation>第 5 组</translation>
    </message>
    <message>
        <source>Group 6</source>
        <translation>第 6 组</translation>
    </message>
    <message>
        <source>Group 7</source>
        <translation>第 7 组</translation>
    </message>
    <message>
        <source>Group 8</source>
        <translation>第 8 组</translation>
    </message>
    <message>
        <source>Group 9</source>
        <translation>第 9 组</translation>
    </message>
    <message>
        <source>Setup (&amp;S) ...</source>
        <translation>设置(&amp;S) ...</translation>
    </message>
</context>
<context>
    <name>FormAngle</name>
    <message>
        <source>Phase Angle Parameters</source>
        <translation>相角参数</translation>
    </message>
    <message>
        <source>V2 - V1 Phase Angle:</source>
        <translation>V2 - V1 相角：</translation>
    </message>
    <message>
        <source>6553.5</source>
        <translation>6553.5</translation>
    </message>
    <message>
        <source>0000</source>
        <translation>0000</translation>
    </message>
    <message>
        <source>V3 - V1 Phase Angle:</source>
        <translation>V3 - V1 相角：</translation>
    </message>
    <message>
        <source>I1 - V1 Phase Angle:</source>
        <translation>I1 - V1 相角：</translation>
    </message>
    <message>
        <source>I2 - V1 Phase Angle:</source>
        <translation>I2 - V1 相角：</translation>
    </message>
    <message>
        <source>I3 - V1 Phase Angle:</source>
        <translation>I3 - V1 相角：</translation>
    </message>
    <message>
        <source>V23 - V12 Phase Angle:</source>
        <translation>V23 - V12 相角：</translation>
    </message>
    <message>
        <source>I1 - V12 Phase Angle:</source>
        <translation>I1 - V12 相角：</translation>
    </message>
    <message>
        <source>I3 - V12 Phase Angle:</source>
        <translation>I3 - V12 相角：</translation>
    </message>
    <message>
        <source>Phasor Diagram</source>
        <translation>相量图</translation>
    </message>
    <message>
        <source>Wiring Check</source>
        <translation>接线检查</translation>
    </message>
    <message>
        <source>Waiting for the angles and the metering values.</source>
        <translation>等待相角和测量值。</translation>
    </message>
</context>
<context>
    <name>FormBase</name>
    <message>
        <source>Metering Parameters</source>
        <translation>测量参数</translation>
    </message>
    <message>
        <source>V1:</source>
        <translation>V1:</translation>
    </message>
    <message>
        <source>888,888.888 kV</source>
        <translation>888,888.888 kV</translation>
    </message>
    <message>
        <source>00000.00</source>
        <translation>00000.00</translation>
    </message>
    <message>
        <source>V2:</source>
        <translation>V2:</translation>
    </message>
    <message>
        <source>V3:</source>
        <translation>V3:</translation>
    </message>
    <message>
        <source>Vlnavg:</source>
        <translation>Vlnavg:</translation>
    </message>
    <message>
        <source>V12:</source>
        <translation>V12:</translation>
    </message>
    <message>
        <source>V23:</source>
        <translation>V23:</translation>
    </message>
    <message>
        <source>V31:</source>
        <translation>V31:</translation>
    </message>
    <message>
        <source>Vllavg:</source>
        <translation>Vllavg:</translation>
    </message>
    <message>
        <source>I1:</source>
        <translation>I1:</translation>
    </message>
    <message>
        <source>88,888.8 A</source>
        <translation>88,888.8 A</translation>
    </message>
    <message>
        <source>0000.00</source>
        <translation>0000.00</translation>
    </message>
    <message>
        <source>I2:</source>
        <translation>I2:</translation>
    </message>
    <message>
        <source>I3:</source>
        <translation>I3:</translation>
    </message>
    <message>
        <source>Iavg:</source>
        <translation>Iavg:</translation>
    </message>
    <message>
        <source>In:</source>
        <translation>In:</translation>
    </message>
    <message>
        <source>Temp:</source>
        <translation>温度：</translation>
    </message>
    <message>
        <source>-8,888.8 °C</source>
        <translation>-8,888.8 °C</translation>
    </message>
    <message>
        <source>00.0</source>
        <translation>00.0</translation>
    </message>
    <message>
        <source>P1:</source>
        <translation>P1:</translation>
    </message>
    <message>
        <source>-888,888,888.888 kW</source>
        <translation>-888,888,888.888 kW</translation>
    </message>
    <message>
        <source>000000</source>
        <translation>000000</translation>
    </message>
    <message>
        <source>P2:</source>
        <translation>P2:</translation>
    </message>
    <message>
        <source>P3:</source>
        <translation>P3:</translation>
    </message>
    <message>
        <source>Psum:</source>
        <translation>Psum:</translation>
    </message>
    <message>
        <source>Q1:</source>
        <translation>Q1:</translation>
    </message>
    <message>
        <source>-888,888,888.888 kvar</source>
        <translation>-888,888,888.888 kvar</translation>
    </message>
    <message>
        <source>Q2:</source>
        <translation>Q2:</translation>
    </message>
    <message>
        <source>Q3:</source>
        <translation>Q3:</translation>
    </message>
    <message>
        <source>Qsum:</source>
        <translation>Qsum:</translation>
    </message>
    <message>
        <source>S1:</source>
        <translation>S1:</translation>
    </message>
    <message>
        <source>888,888,888.888 kVA</source>
        <translation>888,888,888.888 kVA</translation>
    </message>
    <message>
        <source>S2:</source>
        <translation>S2:</translation>
    </message>
    <message>
        <source>S3:</source>
        <translation>S3:</translation>
    </message>
    <message>
        <source>Ssum:</source>
        <translation>Ssum:</translation>
    </message>
    <message>
        <source>PF1:</source>
        <translation>PF1:</translation>
    </message>
    <message>
        <source>-8.888</source>
        <translation>-8.888</translation>
    </message>
    <message>
        <source>0.00</source>
        <translation>0.00</translation>
    </message>
    <message>
        <source>PF2:</source>
        <translation>PF2:</translation>
    </message>
    <message>
        <source>PF3:</source>
        <translation>PF3:</translation>
    </message>
    <message>
        <source>PF:</source>
        <translation>PF:</translation>
    </message>
    <message>
        <source>Load:</source>
        <translation>负载：</translation>
    </message>
    <message>
        <source>Capacitive</source>
        <translation>容性</translation>
    </message>
    <message>
        <source>0000000</source>
        <translation>0000000</translation>
    </message>
    <message>
        <source>F:</source>
        <translation>F:</translation>
    </message>
    <message>
        <source>888.88 Hz</source>
        <translation>888.88 Hz</translation>
    </message>
    <message>
        <source>U_unbl:</source>
        <translation>U_unbl:</translation>
    </message>
    <message>
        <source>8,888.888 %</source>
        <translation>8,888.888 %</translation>
    </message>
    <message>
        <source>I_unbl:</source>
        <translation>I_unbl:</translation>
    </message>
    <message>
        <source>Dmd_S:</source>
        <translation>Dmd_S:</translation>
    </message>
    <message>
        <source>Dmd_P:</source>
        <translation>Dmd_P:</translation>
    </message>
    <message>
        <source>Dmd_Q:</source>
        <translation>Dmd_Q:</translation>
    </message>
    <message>
        <source>DI1:</source>
        <translation>DI1:</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>DI2:</source>
        <translation>DI2:</translation>
    </message>
    <message>
        <source>DI3:</source>
        <translation>DI3:</translation>
    </message>
    <message>
        <source>DI4:</source>
        <translation>DI4:</translation>
    </message>
    <message>
        <source>R01:</source>
        <translation>R01:</translation>
    </message>
    <message>
        <source>R02:</source>
        <translation>R02:</translation>
    </message>
    <message>
        <source>Ep_imp:</source>
        <translation>Ep_imp:</translation>
    </message>
    <message>
        <source>-888,888,888.8 kWh</source>
        <translation>-888,888,888.8 kWh</translation>
    </message>
    <message>
        <source>0000000000000</source>
        <translation>0000000000000</translation>
    </message>
    <message>
        <source>Ep_exp:</source>
        <translation>Ep_exp:</translation>
    </message>
    <message>
        <source>000000000</source>
        <translation>000000000</translation>
    </message>
    <message>
        <source>Eq_imp:</source>
        <translation>Eq_imp:</translation>
    </message>
    <message>
        <source>-888,888,888.8 kvarh</source>
        <translation>-888,888,888.8 kvarh</translation>
    </message>
    <message>
        <source>Eq_exp:</source>
        <translation>Eq_exp:</translation>
    </message>
    <message>
        <source>Ep_total:</source>
        <translation>Ep_total:</translation>
    </message>
    <message>
        <source>Ep_net:</source>
        <translation>Ep_net:</translation>
    </message>
    <message>
        <source>Eq_total:</source>
        <translation>Eq_total:</translation>
    </message>
    <message>
        <source>Eq_net:</source>
        <translation>Eq_net:</translation>
    </message>
    <message>
        <source>Energy Reset</source>
        <translation>电能清零</translation>
    </message>
</context>
<context>
    <name>FormCalirate</name>
    <message>
        <source>Calibrating</source>
        <translation>校准中</translation>
    </message>
    <message>
        <source>Metering</source>
        <translation>测量</translation>
    </message>
    <message>
        <source>V1:</source>
        <translation>V1:</translation>
    </message>
    <message>
        <source>000,000.000 kV</source>
        <translation>000,000.000 kV</translation>
    </message>
    <message>
        <source>00000.00</source>
        <translation>00000.00</translation>
    </message>
    <message>
        <source>V2:</source>
        <translation>V2:</translation>
    </message>
    <message>
        <source>V3:</source>
        <translation>V3:</translation>
    </message>
    <message>
        <source>Vlnavg:</source>
        <translation>Vlnavg:</translation>
    </message>
    <message>
        <source>V12:</source>
        <translation>V12:</translation>
    </message>
    <message>
        <source>V23:</source>
        <translation>V23:</translation>
    </message>
    <message>
        <source>V31:</source>
        <translation>V31:</translation>
    </message>
    <message>
        <source>Vllavg:</source>
        <translation>Vllavg:</translation>
    </message>
    <message>
        <source>I1:</source>
        <translation>I1:</translation>
    </message>
    <message>
        <source>00,000.0 A</source>
        <translation>00,000.0 A</translation>
    </message>
    <message>
        <source>0000.00</source>
        <translation>0000.00</translation>
    </message>
    <message>
        <source>I2:</source>
        <translation>I2:</translation>
    </message>
    <message>
        <source>I3:</source>
        <translation>I3:</translation>
    </message>
    <message>
        <source>Iavg:</source>
        <translation>Iavg:</translation>
    </message>
    <message>
        <source>In:</source>
        <translation>In:</translation>
    </message>
    <message>
        <source>P1:</source>
        <translation>P1:</translation>
    </message>
    <message>
        <source>-000,000,000.000 kvar</source>
        <translation>-000,000,000.000 kvar</translation>
    </message>
    <message>
        <source>000000</source>
        <translation>000000</translation>
    </message>
    <message>
        <source>P2:</source>
        <translation>P2:</translation>
    </message>
    <message>
        <source>P3:</source>
        <translation>P3:</translation>
    </message>
    <message>
        <source>Psum:</source>
        <translation>Psum:</translation>
    </message>
    <message>
        <source>Q1:</source>
        <translation>Q1:</translation>
    </message>
    <message>
        <source>Q2:</source>
        <translation>Q2:</translation>
    </message>
    <message>
        <source>Q3:</source>
        <translation>Q3:</translation>
    </message>
    <message>
        <source>Qsum:</source>
        <translation>Qsum:</translation>
    </message>
    <message>
        <source>S1:</source>
        <translation>S1:</translation>
    </message>
    <message>
        <source>S2:</source>
        <translation>S2:</translation>
    </message>
    <message>
        <source>S3:</source>
        <translation>S3:</translation>
    </message>
    <message>
        <source>Ssum:</source>
        <translation>Ssum:</translation>
    </message>
    <message>
        <source>Coefficients</source>
        <translation>系数</translation>
    </message>
    <message>
        <source>History Value</source>
        <translation>历史值</translation>
    </message>
    <message>
        <source>Calculate Value</source>
        <translation>计算值</translation>
    </message>
    <message>
        <source>UA--ADJ</source>
        <translation>UA--ADJ</translation>
    </message>
    <message>
        <source>-32768</source>
        <translation>-32768</translation>
    </message>
    <message>
        <source>-0000000</source>
        <translation>-0000000</translation>
    </message>
    <message>
        <source>UB--ADJ</source>
        <translation>UB--ADJ</translation>
    </message>
    <message>
        <source>UC--ADJ</source>
        <translation>UC--ADJ</translation>
    </message>
    <message>
        <source>IA--ADJ</source>
        <translation>IA--ADJ</translation>
    </message>
    <message>
        <source>IB--ADJ</source>
        <translation>IB--ADJ</translation>
    </message>
    <message>
        <source>IC--ADJ</source>
        <translation>IC--ADJ</translation>
    </message>
    <message>
        <source>IA1--ADJ</source>
        <translation>IA1--ADJ</translation>
    </message>
    <message>
        <source>IB1--ADJ</source>
        <translation>IB1--ADJ</translation>
    </message>
    <message>
        <source>IC1--ADJ</source>
        <translation>IC1--ADJ</translation>
    </message>
    <message>
        <source>UAA--ADJ</source>
        <translation>UAA--ADJ</translation>
    </message>
    <message>
        <source>UBB--ADJ</source>
        <translation>UBB--ADJ</translation>
    </message>
    <message>
        <source>UCC--ADJ</source>
        <translation>UCC--ADJ</translation>
    </message>
    <message>
        <source>IA--RI</source>
        <translation>IA--RI</translation>
    </message>
    <message>
        <source>VB--RI</source>
        <translation>VB--RI</translation>
    </message>
    <message>
        <source>IB--RI</source>
        <translation>IB--RI</translation>
    </message>
    <message>
        <source>VC--RI</source>
        <translation>VC--RI</translation>
    </message>
    <message>
        <source>IC--RI</source>
        <translation>IC--RI</translation>
    </message>
    <message>
        <source>IA1--RI</source>
        <translation>IA1--RI</translation>
    </message>
    <message>
        <source>IB1--RI</source>
        <translation>IB1--RI</translation>
    </message>
    <message>
        <source>IC1--RI</source>
        <translation>IC1--RI</translation>
    </message>
    <message>
        <source>VBB--RI</source>
        <translation>VBB--RI</translation>
    </message>
    <message>
        <source>VCC--RI</source>
        <translation>VCC--RI</translation>
    </message>
    <message>
        <source>Angle Calibrating(F1)</source>
        <translation>角度校正(F1)</translation>
    </message>
    <message>
        <source>Amplitude Calibrating(F2)</source>
        <translation>模值校正(F2)</translation>
    </message>
    <message>
        <source>Parameter Modification</source>
        <translation>参数修改</translation>
    </message>
    <message>
        <source>Quit(F4)</source>
        <translation>退出(F4)</translation>
    </message>
    <message>
        <source>Standard Value</source>
        <translation>标准值</translation>
    </message>
    <message>
        <source>10%</source>
        <translation>10%</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100%</translation>
    </message>
    <message>
        <source>PT电压</source>
        <translation>PT电压</translation>
    </message>
    <message>
        <source>100V</source>
        <translation>100V</translation>
    </message>
    <message>
        <source>380V</source>
        <translation>380V</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其它</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>F2</source>
        <translation>F2</translation>
    </message>
    <message>
        <source>校正停止(&amp;E)</source>
        <translation>校正停止(&amp;E)</translation>
    </message>
    <message>
        <source>F4</source>
        <translation>F4</translation>
    </message>
</context>
<context>
    <name>FormChangeConst</name>
    <message>
        <source>FormChangeConst</source>
        <translation>系数修改</translation>
    </message>
    <message>
        <source>修改模系数(Gain)：</source>
        <translation>修改模系数(Gain)：</translation>
    </message>
    <message>
        <source>模系数清零</source>
        <translation>模系数清零</translation>
    </message>
    <message>
        <source>VA--ADJ：</source>
        <translation>VA--ADJ：</translation>
    </message>
    <message>
        <source>00000</source>
        <translation>00000</translation>
    </message>
    <message>
        <source>VB--ADJ：</source>
        <translation>VB--ADJ：</translation>
    </message>
    <message>
        <source>VC--ADJ：</source>
        <translation>VC--ADJ：</translation>
    </message>
    <message>
        <source>IA--ADJ：</source>
        <translation>IA--ADJ：</translation>
    </message>
    <message>
        <source>IB--ADJ：</source>
        <translation>IB--ADJ：</translation>
    </message>
    <message>
        <source>IC--ADJ：</source>
        <translation>IC--ADJ：</translation>
    </message>
    <message>
        <source>IA1--ADJ：</source>
        <translation>IA1--ADJ：</translation>
    </message>
    <message>
        <source>IB1--ADJ：</source>
        <translation>IB1--ADJ：</translation>
    </message>
    <message>
        <source>IC1--ADJ：</source>
        <translation>IC1--ADJ：</translation>
    </message>
    <message>
        <source>修改角差常数(Const)：</source>
        <translation>修改角差常数(Const)：</translation>
    </message>
    <message>
        <source>角差常数清零</source>
        <translation>角差常数清零</translation>
    </message>
    <message>
        <source>IA--RI：</source>
        <translation>IA--RI：</translation>
    </message>
    <message>
        <source>VB--RI：</source>
        <translation>VB--RI：</translation>
    </message>
    <message>
        <source>IB--RI：</source>
        <translation>IB--RI：</translation>
    </message>
    <message>
        <source>VC--RI：</source>
        <translation>VC--RI：</translation>
    </message>
    <message>
        <source>IC--RI：</source>
        <translation>IC--RI：</translation>
    </message>
    <message>
        <source>IA1--RI：</source>
        <translation>IA1--RI：</translation>
    </message>
    <message>
        <source>IB1--RI：</source>
        <translation>IB1--RI：</translation>
    </message>
    <message>
        <source>IC1--RI：</source>
        <translation>IC1--RI：</translation>
    </message>
    <message>
        <source>修改其它：</source>
        <translation>修改其它：</translation>
    </message>
    <message>
        <source>其它清零</source>
        <translation>其它清零</translation>
    </message>
    <message>
        <source>VAA--ADJ：</source>
        <translation>VAA--ADJ：</translation>
    </message>
    <message>
        <source>VBB--ADJ：</source>
        <translation>VBB--ADJ：</translation>
    </message>
    <message>
        <source>VCC--ADJ：</source>
        <translation>VCC--ADJ：</translation>
    </message>
    <message>
        <source>UBB--RI：</source>
        <translation>UBB--RI：</translation>
    </message>
    <message>
        <source>UCC--RI：</source>
        <translation>UCC--RI：</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>确认</translation>
    </message>
</context>
<context>
    <name>FormDriveType</name>
    <message>
        <source>Select Meter Model</source>
        <translation>选择仪表型号</translation>
    </message>
    <message>
        <source>Meter Model:</source>
        <translation>仪表型号：</translation>
    </message>
    <message>
        <source>QETRA 7100</source>
        <translation>QETRA 7100</translation>
    </message>
    <message>
        <source>QETRA 7300</source>
        <translation>QETRA 7300</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>WWWW</source>
        <translation>WWWW</translation>
    </message>
    <message>
        <source>_.__</source>
        <translation>_.__</translation>
    </message>
    <message>
        <source>Clock:</source>
        <translation>时钟：</translation>
    </message>
    <message>
        <source>2006-12-31 23:59:59</source>
        <translation>2006-12-31 23:59:59</translation>
    </message>
    <message>
        <source>YYYY-MM-DD hh:mm:ss</source>
        <translation>YYYY-MM-DD hh:mm:ss</translation>
    </message>
    <message>
        <source>Adjust</source>
        <translation>校准</translation>
    </message>
    <message>
        <source>Meter RunTime:</source>
        <translation>仪表运行时间：</translation>
    </message>
    <message>
        <source>21474836.47 Hours</source>
        <translation>21474836.47 小时</translation>
    </message>
    <message>
        <source>0000000.00 Hours</source>
        <translation>0000000.00 小时</translation>
    </message>
    <message>
        <source>Reset RunTime</source>
        <translation>运行时间清零</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>频率：</translation>
    </message>
    <message>
        <source>50 Hz</source>
        <translation>50 Hz</translation>
    </message>
    <message>
        <source>60 Hz</source>
        <translation>60 Hz</translation>
    </message>
    <message>
        <source>Display Mode:</source>
        <translation>显示模式：</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>All Lights</source>
        <translation>全部点亮</translation>
    </message>
    <message>
        <source>PT Type:</source>
        <translation>PT 类型：</translation>
    </message>
    <message>
        <source>100 V</source>
        <translation>100 V</translation>
    </message>
    <message>
        <source>380 V</source>
        <translation>380 V</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>FormKw</name>
    <message>
        <source>Energy Parameters</source>
        <translation>电能参数</translation>
    </message>
    <message>
        <source>Energy Ep_imp:</source>
        <translation>有功电能 Ep_imp：</translation>
    </message>
    <message>
        <source>kWh</source>
        <translation>kWh</translation>
    </message>
    <message>
        <source>Energy Ep_exp:</source>
        <translation>有功电能 Ep_exp：</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_imp:</source>
        <translation>无功电能 Eq_imp：</translation>
    </message>
    <message>
        <source>kvarh</source>
        <translation>kvarh</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_exp:</source>
        <translation>无功电能 Eq_exp：</translation>
    </message>
    <message>
        <source>Energy Ep_total:</source>
        <translation>有功电能 Ep_total：</translation>
    </message>
    <message>
        <source>Energy Ep_net:</source>
        <translation>有功电能 Ep_net：</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_total:</source>
        <translation>无功电能 Eq_total：</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_net:</source>
        <translation>无功电能 Eq_net：</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>预置</translation>
    </message>
</context>
<context>
    <name>FormLogToFile</name>
    <message>
        <source>Log to File</source>
        <translation>记录到文件</translation>
    </message>
</context>
<context>
    <name>FormPara</name>
    <message>
        <source>Meter Parameters</source>
        <translation>仪表参数</translation>
    </message>
    <message>
        <source>Access Code:</source>
        <translation>访问密码：</translation>
    </message>
    <message>
        <source>0.000000</source>
        <translation>0.000000</translation>
    </message>
    <message>
        <source>Meter Address:</source>
        <translation>仪表地址：</translation>
    </message>
    <message>
        <source>00000</source>
        <translation>00000</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>Voltage Wiring:</source>
        <translation>电压接线：</translation>
    </message>
    <message>
        <source>Current Wiring:</source>
        <translation>电流接线：</translation>
    </message>
    <message>
        <source>PT1:</source>
        <translation>PT1:</translation>
    </message>
    <message>
        <source>PT2:</source>
        <translation>PT2:</translation>
    </message>
    <message>
        <source>CT1:</source>
        <translation>CT1:</translation>
    </message>
    <message>
        <source>DO Mode:</source>
        <translation>DO 模式：</translation>
    </message>
    <message>
        <source>Energy Pulse</source>
        <translation>电能脉冲</translation>
    </message>
    <message>
        <source>DO1 (Pulse) Selecting:</source>
        <translation>DO1（脉冲）选择：</translation>
    </message>
    <message>
        <source>0000</source>
        <translation>0000</translation>
    </message>
    <message>
        <source>DO2 (Pulse) Selecting:</source>
        <translation>DO2（脉冲）选择：</translation>
    </message>
    <message>
        <source>Pulse Width:</source>
        <translation>脉冲宽度：</translation>
    </message>
    <message>
        <source>Pulse Rate:</source>
        <translation>脉冲常数：</translation>
    </message>
    <message>
        <source>RO1-Output Mode:</source>
        <translation>RO1 输出模式：</translation>
    </message>
    <message>
        <source>RO1-Momentary On Time:</source>
        <translation>RO1 瞬动闭合时间：</translation>
    </message>
    <message>
        <source>RO2-Output Mode:</source>
        <translation>RO2 输出模式：</translation>
    </message>
    <message>
        <source>RO2-Momentary On Time:</source>
        <translation>RO2 瞬动闭合时间：</translation>
    </message>
    <message>
        <source>Backlight On Time:</source>
        <translation>背光点亮时间：</translation>
    </message>
    <message>
        <source>Demand Window Width:</source>
        <translation>需量窗口宽度：</translation>
    </message>
    <message>
        <source>Setup (&amp;S) ...</source>
        <translation>设置(&amp;S) ...</translation>
    </message>
</context>
<context>
    <name>FormSetAlarm</name>
    <message>
        <source>Alarm Settings</source>
        <translation>报警设置</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>状态：</translation>
    </message>
    <message>
        <source>DO1:</source>
        <translation>DO1:</translation>
    </message>
    <message>
        <source>DO2:</source>
        <translation>DO2:</translation>
    </message>
    <message>
        <source>Item:</source>
        <translation>项目：</translation>
    </message>
    <message>
        <source>Limit:</source>
        <translation>限值：</translation>
    </message>
    <message>
        <source>Value:</source>
        <translation>数值：</translation>
    </message>
    <message>
        <source>Group 1:</source>
        <translation>第 1 组：</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>ACTIVE</source>
        <translation>启用</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Below</source>
        <translation>低于</translation>
    </message>
    <message>
        <source>Above</source>
        <translation>高于</translation>
    </message>
    <message>
        <source>0000.00</source>
        <translation>0000.00</translation>
    </message>
    <message>
        <source>Group 2:</source>
        <translation>第 2 组：</translation>
    </message>
    <message>
        <source>Group 3:</source>
        <translation>第 3 组：</translation>
    </message>
    <message>
        <source>Group 4:</source>
        <translation>第 4 组：</translation>
    </message>
    <message>
        <source>Group 5:</source>
        <translation>第 5 组：</translation>
    </message>
    <message>
        <source>Group 6:</source>
        <translation>第 6 组：</translation>
    </message>
    <message>
        <source>Group 7:</source>
        <translation>第 7 组：</translation>
    </message>
    <message>
        <source>Group 8:</source>
        <translation>第 8 组：</translation>
    </message>
    <message>
        <source>Group 9:</source>
        <translation>第 9 组：</translation>
    </message>
    <message>
        <source>Alarm Delay:</source>
        <translation>报警延时：</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
</context>
<context>
    <name>FormSetPara</name>
    <message>
        <source>Meter Settings</source>
        <translation>仪表设置</translation>
    </message>
    <message>
        <source>Access Code:</source>
        <translation>访问密码：</translation>
    </message>
    <message>
        <source>Meter Address:</source>
        <translation>仪表地址：</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>Voltage Wiring:</source>
        <translation>电压接线：</translation>
    </message>
    <message>
        <source>Current Wiring:</source>
        <translation>电流接线：</translation>
    </message>
    <message>
        <source>PT1</source>
        <translation>PT1</translation>
    </message>
    <message>
        <source>PT2</source>
        <translation>PT2</translation>
    </message>
    <message>
        <source>CT1</source>
        <translation>CT1</translation>
    </message>
    <message>
        <source>DO Mode:</source>
        <translation>DO 模式：</translation>
    </message>
    <message>
        <source>DO1 (Pulse) Selecting:</source>
        <translation>DO1（脉冲）选择：</translation>
    </message>
    <message>
        <source>DO2 (Pulse) Selecting:</source>
        <translation>DO2（脉冲）选择：</translation>
    </message>
    <message>
        <source>Pulse Width:</source>
        <translation>脉冲宽度：</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Pulse Rate:</source>
        <translation>脉冲常数：</translation>
    </message>
    <message>
        <source>RO1-Output Mode:</source>
        <translation>RO1 输出模式：</translation>
    </message>
    <message>
        <source>RO1-Momentary On Time:</source>
        <translation>RO1 瞬动闭合时间：</translation>
    </message>
    <message>
        <source>RO2-Output Mode:</source>
        <translation>RO2 输出模式：</translation>
    </message>
    <message>
        <source>RO2-Momentary On Time:</source>
        <translation>RO2 瞬动闭合时间：</translation>
    </message>
    <message>
        <source>Backlight On Time:</source>
        <translation>背光点亮时间：</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>Demand Window Width:</source>
        <translation>需量窗口宽度：</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>FormSuperNum</name>
    <message>
        <source>Max / Min Statistics with Time Stamps</source>
        <translation>带时间标记的最大 / 最小值统计</translation>
    </message>
    <message>
        <source>MAX with Time Stamp:</source>
        <translation>最大值及时间：</translation>
    </message>
    <message>
        <source>MIN with Time Stamp:</source>
        <translation>最小值及时间：</translation>
    </message>
    <message>
        <source>Clear Statistics</source>
        <translation>清除统计</translation>
    </message>
</context>
<context>
    <name>FormTrends</name>
    <message>
        <source>Trends</source>
        <translation>趋势</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 分钟</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 小时</translation>
    </message>
</context>
<context>
    <name>FormWave</name>
    <message>
        <source>Voltage / Current Harmonics</source>
        <translation>电压 / 电流谐波</translation>
    </message>
    <message>
        <source>Voltage Harmonics</source>
        <translation>电压谐波</translation>
    </message>
    <message>
        <source>THD_V1:</source>
        <translation>THD_V1:</translation>
    </message>
    <message>
        <source>655.4</source>
        <translation>655.4</translation>
    </message>
    <message>
        <source>00.000</source>
        <translation>00.000</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>THD_V2:</source>
        <translation>THD_V2:</translation>
    </message>
    <message>
        <source>THD_V3:</source>
        <translation>THD_V3:</translation>
    </message>
    <message>
        <source>THD_Vavg:</source>
        <translation>THD_Vavg:</translation>
    </message>
    <message>
        <source>The meter reports no voltage spectrum: only the headings are shown.</source>
        <translation>仪表不提供电压频谱：只显示标题。</translation>
    </message>
    <message>
        <source>Current Harmonics</source>
        <translation>电流谐波</translation>
    </message>
    <message>
        <source>THD_I1:</source>
        <translation>THD_I1:</translation>
    </message>
    <message>
        <source>THD_I2:</source>
        <translation>THD_I2:</translation>
    </message>
    <message>
        <source>THD_I3:</source>
        <translation>THD_I3:</translation>
    </message>
    <message>
        <source>THD_Iavg:</source>
        <translation>THD_Iavg:</translation>
    </message>
    <message>
        <source>Current Spectrum</source>
        <translation>电流频谱</translation>
    </message>
</context>
<context>
    <name>HarmonicsDecode</name>
    <message>
        <source>Odd Harmonics</source>
        <translation>奇次谐波</translation>
    </message>
    <message>
        <source>Even Harmonics</source>
        <translation>偶次谐波</translation>
    </message>
    <message>
        <source>Crest Factor</source>
        <translation>波峰系数</translation>
    </message>
    <message>
        <source>THFF(TIF)</source>
        <translation>THFF(TIF)</translation>
    </message>
    <message>
        <source>K Factor</source>
        <translation>K 系数</translation>
    </message>
    <message>
        <source>H %1th</source>
        <translation>%1 次</translation>
    </message>
    <message>
        <source>H %1st</source>
        <translation>%1 次</translation>
    </message>
    <message>
        <source>H %1nd</source>
        <translation>%1 次</translation>
    </message>
    <message>
        <source>H %1rd</source>
        <translation>%1 次</translation>
    </message>
</context>
<context>
    <name>LineIdentity</name>
    <message>
        <source>Waiting for %1</source>
        <translation>等待 %1</translation>
    </message>
    <message>
        <source>Waiting for %1 (was %2)</source>
        <translation>等待 %1（原为 %2）</translation>
    </message>
    <message>
        <source>%1 now points at a different device (%2); waiting</source>
        <translation>%1 现在指向另一个设备（%2）；等待中</translation>
    </message>
    <message>
        <source>%1 is no USB adapter now, not the %2 that was lost</source>
        <translation>%1 现在不是 USB 适配器，不是断开的 %2</translation>
    </message>
    <message>
        <source>%1 is the adapter %2, not the %3 that was lost</source>
        <translation>%1 是适配器 %2，不是断开的 %3</translation>
    </message>
    <message>
        <source>%1 is a new device node, not the one that was lost</source>
        <translation>%1 是新的设备节点，不是断开的那一个</translation>
    </message>
    <message>
        <source>%1 now leads to %2, which is not a serial port; waiting</source>
        <translation>%1 现在指向 %2，它不是串口；继续等待</translation>
    </message>
</context>
<context>
    <name>LineNoticeBar</name>
    <message>
        <source>Search…</source>
        <translation>搜索…</translation>
    </message>
</context>
<context>
    <name>LineRecovery</name>
    <message>
        <source>严重错误</source>
        <translation>严重错误</translation>
    </message>
    <message>
        <source>端口 %1 发生通讯内部错误。</source>
        <translation>端口 %1 发生通讯内部错误。</translation>
    </message>
    <message>
        <source>
The line to the meter is lost: %1 hung up (adapter unplugged, or the other end closed). The port is closed and opened again as soon as the device is back.</source>
        <translation>
与仪表的线路已断开：%1 已挂断（适配器被拔出，或对端已关闭）。串口已关闭，设备一恢复即重新打开。</translation>
    </message>
</context>
<context>
    <name>LineStatusText</name>
    <message>
        <source>No answer from address %1 at %2 baud on %3: check the address, baud rate and wiring, or use Search%4</source>
        <translation>%3 上地址 %1、波特率 %2 无应答：请检查地址、波特率和接线，或使用搜索%4</translation>
    </message>
    <message>
        <source>Line lost at %1</source>
        <translation>线路于 %1 断开</translation>
    </message>
    <message>
        <source>Line lost %1 times since %2</source>
        <translation>自 %2 起线路断开 %1 次</translation>
    </message>
</context>
<context>
    <name>MaxMinDecode</name>
    <message>
        <source>Max Value</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>Min Value</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>YY</source>
        <translation>年</translation>
    </message>
    <message>
        <source>MM</source>
        <translation>月</translation>
    </message>
    <message>
        <source>DD</source>
        <translation>日</translation>
    </message>
    <message>
        <source>hh</source>
        <translation>时</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>分</translation>
    </message>
    <message>
        <source>ss</source>
        <translation>秒</translation>
    </message>
</context>
<context>
    <name>MeterLine</name>
    <message>
        <source>  Cannot open the port &quot;%1&quot;.          </source>
        <translation>  无法打开串口“%1”。          </translation>
    </message>
    <message>
        <source>Line lost. %1 - polling resumes when it is back</source>
        <translation>线路断开。%1 - 恢复后继续轮询</translation>
    </message>
    <message>
        <source>Line lost. %1 - reopened when it is back</source>
        <translation>线路断开。%1 - 恢复后重新打开</translation>
    </message>
    <message>
        <source>Line back: %1</source>
        <translation>线路已恢复：%1</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>MeterModelDecode</name>
    <message>
        <source> Hours</source>
        <translation> 小时</translation>
    </message>
</context>
<context>
    <name>MeterParamDecode</name>
    <message>
        <source>Alarm Output</source>
        <translation>报警输出</translation>
    </message>
    <message>
        <source>Energy Pulse</source>
        <translation>电能脉冲</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Latch</source>
        <translation>锁存</translation>
    </message>
    <message>
        <source>Momentary</source>
        <translation>瞬动</translation>
    </message>
</context>
<context>
    <name>MeteringDecode</name>
    <message>
        <source>Capacitive</source>
        <translation>容性</translation>
    </message>
    <message>
        <source>Reactive</source>
        <translation>感性</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>阻性</translation>
    </message>
    <message>
        <source>On</source>
        <translation>闭合</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>断开</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>开</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>Control RO1 successfully!</source>
        <translation>继电器 RO1 控制成功！</translation>
    </message>
    <message>
        <source>Control RO2 successfully!</source>
        <translation>继电器 RO2 控制成功！</translation>
    </message>
    <message>
        <source>Are you sure to switch %1 RO%2?</source>
        <translation>确定要%1继电器 RO%2 吗？</translation>
    </message>
    <message>
        <source>on</source>
        <translation>闭合</translation>
    </message>
    <message>
        <source>off</source>
        <translation>断开</translation>
    </message>
</context>
<context>
    <name>MeteringLogControl</name>
    <message>
        <source>Log to File</source>
        <translation>记录到文件</translation>
    </message>
    <message>
        <source>Stop logging to &quot;%1&quot;? %2 rows were written.</source>
        <translation>停止记录到“%1”吗？已写入 %2 行。</translation>
    </message>
    <message>
        <source>Log stopped: %1 rows</source>
        <translation>记录已停止：%1 行</translation>
    </message>
    <message>
        <source>Logging: %1 rows</source>
        <translation>正在记录：%1 行</translation>
    </message>
    <message>
        <source>Logging stopped. %1. %2 rows were written, each of them whole.</source>
        <translation>记录已停止。%1。已写入 %2 行，每行均完整。</translation>
    </message>
</context>
<context>
    <name>NetworkModbusPort</name>
    <message>
        <source>connection refused (nothing listens on that port)</source>
        <translation>连接被拒绝（该端口无人监听）</translation>
    </message>
    <message>
        <source>name not found</source>
        <translation>找不到该名称</translation>
    </message>
    <message>
        <source>no route to the host (%1)</source>
        <translation>无法到达主机（%1）</translation>
    </message>
    <message>
        <source>the converter closed the connection</source>
        <translation>转换器关闭了连接</translation>
    </message>
    <message>
        <source>time-out</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>no answer within %1 s (time-out)</source>
        <translation>%1 秒内无应答（超时）</translation>
    </message>
    <message>
        <source>%1: %2; connecting again in %3 s</source>
        <translation>%1：%2；%3 秒后重新连接</translation>
    </message>
    <message>
        <source>connecting to %1</source>
        <translation>正在连接 %1</translation>
    </message>
    <message>
        <source>Cannot connect</source>
        <translation>无法连接</translation>
    </message>
    <message>
        <source>Cannot connect to %1: %2; trying again.</source>
        <translation>无法连接 %1：%2；正在重试。</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>连接已断开</translation>
    </message>
    <message>
        <source>Connection to %1 lost (%2); reconnecting…</source>
        <translation>与 %1 的连接已断开（%2）；正在重新连接…</translation>
    </message>
    <message>
        <source>cannot send: %1</source>
        <translation>无法发送：%1</translation>
    </message>
    <message>
        <source>the converter sent more than %1 bytes unasked; connection closed</source>
        <translation>转换器未经请求发送了超过 %1 字节；连接已关闭</translation>
    </message>
    <message>
        <source>the converter announced a frame of %1 bytes; connection closed</source>
        <translation>转换器声明了 %1 字节的帧；连接已关闭</translation>
    </message>
</context>
<context>
    <name>NumberInput</name>
    <message>
        <source>%1: type %2 or %3</source>
        <translation>%1：请输入 %2 或 %3</translation>
    </message>
    <message>
        <source>Numbers are typed like %1</source>
        <translation>数字的输入格式如 %1</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>%1 is not a serial device (it is no terminal).</source>
        <translation>%1 不是串口设备（不是终端）。</translation>
    </message>
    <message>
        <source>%1 cannot be opened.</source>
        <translation>无法打开 %1。</translation>
    </message>
    <message>
        <source>%1: no such device. The adapter is not plugged in (or the port name is wrong).</source>
        <translation>%1：没有此设备。适配器未插入（或串口名称有误）。</translation>
    </message>
    <message>
        <source>%1: the device does not answer. There is no port behind it, or the adapter is going away.</source>
        <translation>%1：设备无应答。其后没有串口，或适配器正在断开。</translation>
    </message>
    <message>
        <source>%1: permission denied.</source>
        <translation>%1：权限不足。</translation>
    </message>
    <message>
        <source> No group may use it: ask the administrator for access to the device.</source>
        <translation> 没有任何用户组可以使用它：请向管理员申请该设备的访问权限。</translation>
    </message>
    <message>
        <source> The device belongs to group %1, which your account already has: log out and in again so that it takes effect.</source>
        <translation> 该设备属于用户组 %1，您的帐户已在该组中：请注销后重新登录使其生效。</translation>
    </message>
    <message>
        <source> The device belongs to group %1: add your user to it (sudo usermod -aG %1 $USER), then log out and in again.</source>
        <translation> 该设备属于用户组 %1：请将您的用户加入该组（sudo usermod -aG %1 $USER），然后注销并重新登录。</translation>
    </message>
    <message>
        <source>%1 is busy: another program has it open.</source>
        <translation>%1 忙：另一个程序已将其打开。</translation>
    </message>
    <message>
        <source> Held by %1.</source>
        <translation> 占用者：%1。</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source> brltty (the Braille display service) takes USB serial adapters such as the CH340; remove it (sudo apt remove brltty) if nobody here uses a Braille display.</source>
        <translation> brltty（盲文显示服务）会占用 CH340 等 USB 串口适配器；如果本机无人使用盲文显示器，请将其卸载（sudo apt remove brltty）。</translation>
    </message>
    <message>
        <source> ModemManager probes new serial devices for a modem; wait a few seconds, or stop it (sudo systemctl stop ModemManager).</source>
        <translation> ModemManager 会探测新串口设备是否为调制解调器；请等待几秒，或将其停止（sudo systemctl stop ModemManager）。</translation>
    </message>
    <message>
        <source>%1 is a folder, not a serial device.</source>
        <translation>%1 是文件夹，不是串口设备。</translation>
    </message>
    <message>
        <source>%1: not a usable device path.</source>
        <translation>%1：不是可用的设备路径。</translation>
    </message>
</context>
<context>
    <name>OperatorDialogs</name>
    <message>
        <source>Communication Error</source>
        <translation>通讯错误</translation>
    </message>
    <message>
        <source>Please connect the meter first! </source>
        <translation>请先连接仪表！ </translation>
    </message>
</context>
<context>
    <name>PhasorDiagram</name>
    <message>
        <source>Waiting for the angles</source>
        <translation>等待相角</translation>
    </message>
</context>
<context>
    <name>PortList</name>
    <message>
        <source>%1 (not present)</source>
        <translation>%1（不存在）</translation>
    </message>
</context>
<context>
    <name>PortName</name>
    <message>
        <source>no port given</source>
        <translation>未指定串口</translation>
    </message>
    <message>
        <source>%1 is not a port of the program: use COM1 to COM%2</source>
        <translation>%1 不是本程序的串口：请使用 COM1 到 COM%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither COM1..COM%2 nor a device path such as /dev/ttyUSB0</source>
        <translation>“%1”既不是 COM1..COM%2，也不是 /dev/ttyUSB0 之类的设备路径</translation>
    </message>
    <message>
        <source>%1 points to %2, which does not exist: the adapter is not plugged in</source>
        <translation>%1 指向 %2，但它不存在：适配器未插入</translation>
    </message>
    <message>
        <source>%1 does not exist: the adapter is not plugged in, or the name is wrong</source>
        <translation>%1 不存在：适配器未插入，或名称有误</translation>
    </message>
    <message>
        <source>%1 is a folder, not a serial device</source>
        <translation>%1 是文件夹，不是串口设备</translation>
    </message>
    <message>
        <source>%1 is not a serial device (not a character device)</source>
        <translation>%1 不是串口设备（不是字符设备）</translation>
    </message>
    <message>
        <source>%1 is not a serial device (a character device, but no terminal)</source>
        <translation>%1 不是串口设备（是字符设备，但不是终端）</translation>
    </message>
</context>
<context>
    <name>ReplyRouting</name>
    <message>
        <source>Meter Address has modified successfully!</source>
        <translation>仪表地址修改成功！</translation>
    </message>
    <message>
        <source>Meter Baudrate has modified successfully!</source>
        <translation>仪表波特率修改成功！</translation>
    </message>
</context>
<context>
    <name>ReportCommand</name>
    <message>
        <source>Commissioning Report</source>
        <translation>调试报告</translation>
    </message>
    <message>
        <source>Feeder / panel:</source>
        <translation>馈线 / 配电柜：</translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation>另存为 PDF…</translation>
    </message>
    <message>
        <source>Reading the meter for the report…</source>
        <translation>正在为报告读取仪表…</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>另存为 PDF</translation>
    </message>
    <message>
        <source>commissioning-report.pdf</source>
        <translation>commissioning-report.pdf</translation>
    </message>
    <message>
        <source>Commissioning Report…</source>
        <translation>调试报告…</translation>
    </message>
    <message>
        <source>
No report was made.</source>
        <translation>
未生成报告。</translation>
    </message>
</context>
<context>
    <name>ReportForm</name>
    <message>
        <source>Site</source>
        <translation>现场</translation>
    </message>
    <message>
        <source>Feeder / panel</source>
        <translation>馈线 / 配电柜</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>调试人员</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>%1: at most %2 characters (%3 typed).</source>
        <translation>%1：最多 %2 个字符（已输入 %3 个）。</translation>
    </message>
    <message>
        <source>%1: a control character (U+%2) at character %3; the report cannot print it.</source>
        <translation>%1：第 %3 个字符是控制字符（U+%2），报告无法打印。</translation>
    </message>
</context>
<context>
    <name>SafeFiles</name>
    <message>
        <source>a FIFO</source>
        <translation>一个 FIFO</translation>
    </message>
    <message>
        <source>a character device</source>
        <translation>一个字符设备</translation>
    </message>
    <message>
        <source>a block device</source>
        <translation>一个块设备</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>一个文件夹</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>一个套接字</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>no file name given</source>
        <translation>未给出文件名</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file; a save would replace it, so nothing is written there (choose a new name or a regular file)</source>
        <translation>%1 是%2，不是普通文件；保存会替换它，因此未写入任何内容（请选择新文件名或普通文件）</translation>
    </message>
    <message>
        <source>the file that was there is kept as it was</source>
        <translation>原有文件保持不变</translation>
    </message>
    <message>
        <source>no file was made</source>
        <translation>未创建文件</translation>
    </message>
    <message>
        <source>cannot write %1: %2; %3</source>
        <translation>无法写入 %1：%2；%3</translation>
    </message>
    <message>
        <source>%1 has %2 bytes or more; a file of more than %3 bytes is not read</source>
        <translation>%1 有 %2 字节或更多；超过 %3 字节的文件不予读取</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file; only a regular file is read</source>
        <translation>%1 是%2，不是普通文件；只读取普通文件</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>the port must be COM1 to COM%1 or a device path such as /dev/ttyUSB0</source>
        <translation>端口必须是 COM1 到 COM%1，或设备路径（如 /dev/ttyUSB0）</translation>
    </message>
    <message>
        <source>the baud rate must be one of 600, 1200, 2400, 4800, 9600, 19200, 38400</source>
        <translation>波特率必须是 600、1200、2400、4800、9600、19200、38400 之一</translation>
    </message>
    <message>
        <source>the meter address must be %1 to %2</source>
        <translation>仪表地址必须在 %1 到 %2 之间</translation>
    </message>
    <message>
        <source>the query interval must be 0 to %1 ms</source>
        <translation>查询间隔必须在 0 到 %1 ms 之间</translation>
    </message>
    <message>
        <source>%1=%2: %3.</source>
        <translation>%1=%2：%3。</translation>
    </message>
    <message>
        <source>These saved settings in %1 were ignored, and the defaults are used instead:
%2
Check them in COMM Settings.</source>
        <translation>%1 中保存的以下设置已被忽略，改用默认值：
%2
请在通讯设置中检查。</translation>
    </message>
    <message>
        <source>addresses must be %1 to %2; dropped from the list: %3</source>
        <translation>地址必须为 %1 到 %2；已从列表中删除：%3</translation>
    </message>
    <message>
        <source>the line must be %1 or %2</source>
        <translation>线路必须是 %1 或 %2</translation>
    </message>
    <message>
        <source>the TCP port must be 1 to 65535</source>
        <translation>TCP 端口必须为 1 到 65535</translation>
    </message>
    <message>
        <source>the framing must be %1 or %2</source>
        <translation>帧格式必须是 %1 或 %2</translation>
    </message>
    <message>
        <source>a network line needs a usable NetHost</source>
        <translation>网络线路需要可用的 NetHost</translation>
    </message>
    <message>
        <source>the host must not be empty</source>
        <translation>主机不能为空</translation>
    </message>
    <message>
        <source>the host must be at most %1 characters long</source>
        <translation>主机最长 %1 个字符</translation>
    </message>
    <message>
        <source>the host must be a name or an address, without blanks or slashes</source>
        <translation>主机必须是名称或地址，不能含空格或斜杠</translation>
    </message>
</context>
<context>
    <name>SettingsInput</name>
    <message>
        <source>it is empty</source>
        <translation>它是空的</translation>
    </message>
    <message>
        <source>it holds &quot;%1&quot;</source>
        <translation>其内容为“%1”</translation>
    </message>
    <message>
        <source>%1 must be a whole number from %2 to %3 (%4). Nothing was sent to the meter.</source>
        <translation>%1 必须是 %2 到 %3 之间的整数（%4）。未向仪表发送任何内容。</translation>
    </message>
    <message>
        <source>%1 has no value selected: choose one from its list. Nothing was sent to the meter.</source>
        <translation>%1 未选择数值：请从其列表中选择一项。未向仪表发送任何内容。</translation>
    </message>
    <message>
        <source>%1 must be a number from %2 to %3 (%4). Nothing was sent to the meter.</source>
        <translation>%1 必须是 %2 到 %3 之间的数（%4）。未向仪表发送任何内容。</translation>
    </message>
</context>
<context>
    <name>SettingsMessages</name>
    <message>
        <source>%1 is outside %2..%3.</source>
        <translation>%1 超出 %2..%3。</translation>
    </message>
    <message>
        <source>%1 is not a baud rate of the list (%2).</source>
        <translation>%1 不是列表中的波特率（%2）。</translation>
    </message>
    <message>
        <source>%1 is outside %2..%3, the items of the list %4 .. %5.</source>
        <translation>%1 超出 %2..%3，即列表项 %4 .. %5。</translation>
    </message>
    <message>
        <source>A PT secondary of 0 would make the PT ratio PT1/PT2 infinite.</source>
        <translation>PT 二次侧为 0 会使 PT 变比 PT1/PT2 无穷大。</translation>
    </message>
    <message>
        <source>A CT primary of 0 would make the CT ratio zero and every current and power show as 0.</source>
        <translation>CT 一次侧为 0 会使 CT 变比为零，所有电流和功率都显示为 0。</translation>
    </message>
</context>
<context>
    <name>SettingsWindows</name>
    <message>
        <source>Meter Parameters have modified successfully!</source>
        <translation>仪表参数修改成功！</translation>
    </message>
</context>
<context>
    <name>SpectrumChart</name>
    <message>
        <source>The current spectrum appears while this window is the active one.</source>
        <translation>本窗口为活动窗口时显示电流频谱。</translation>
    </message>
    <message>
        <source>Harmonic current in % of the fundamental</source>
        <translation>谐波电流占基波的百分比</translation>
    </message>
</context>
<context>
    <name>TFormBus</name>
    <message>
        <source>Bus</source>
        <translation>总线</translation>
    </message>
    <message>
        <source>Addresses:</source>
        <translation>地址：</translation>
    </message>
    <message>
        <source>Poll these meters</source>
        <translation>轮询这些仪表</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Model and firmware</source>
        <translation>型号和固件</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Failed (last minute)</source>
        <translation>失败率（最近一分钟）</translation>
    </message>
    <message>
        <source>Last reply</source>
        <translation>上次应答</translation>
    </message>
    <message>
        <source>U avg</source>
        <translation>电压平均值</translation>
    </message>
    <message>
        <source>I avg</source>
        <translation>电流平均值</translation>
    </message>
    <message>
        <source>P total</source>
        <translation>总有功功率</translation>
    </message>
    <message>
        <source>PF</source>
        <translation>PF</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>The windows show meter %1.</source>
        <translation>各窗口显示仪表 %1。</translation>
    </message>
</context>
<context>
    <name>TFormCalirate</name>
    <message>
        <source>校正停止</source>
        <translation>校正停止</translation>
    </message>
    <message>
        <source>角度校正</source>
        <translation>角度校正</translation>
    </message>
    <message>
        <source>模值校正</source>
        <translation>模值校正</translation>
    </message>
    <message>
        <source>校正次数：</source>
        <translation>校正次数：</translation>
    </message>
    <message>
        <source>PT电压= 380V</source>
        <translation>PT电压= 380V</translation>
    </message>
    <message>
        <source>PT电压= 100V</source>
        <translation>PT电压= 100V</translation>
    </message>
    <message>
        <source>标准值= 100%</source>
        <translation>标准值= 100%</translation>
    </message>
    <message>
        <source>标准值= 10%</source>
        <translation>标准值= 10%</translation>
    </message>
    <message>
        <source>PT Voltage= 380V</source>
        <translation>PT 电压= 380V</translation>
    </message>
    <message>
        <source>PT Voltage= 100V</source>
        <translation>PT 电压= 100V</translation>
    </message>
    <message>
        <source>正在读取RI数据= </source>
        <translation>正在读取RI数据= </translation>
    </message>
    <message>
        <source>校验进行中</source>
        <translation>校验进行中</translation>
    </message>
    <message>
        <source>通讯没建立</source>
        <translation>通讯没建立</translation>
    </message>
    <message>
        <source>请先与设备通讯！</source>
        <translation>请先与设备通讯！</translation>
    </message>
    <message>
        <source>读取数据完毕！</source>
        <translation>读取数据完毕！</translation>
    </message>
    <message>
        <source>校验完毕！</source>
        <translation>校验完毕！</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>计算角差超限（-5~+5）</source>
        <translation>计算角差超限（-5~+5）</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>提示信息</translation>
    </message>
    <message>
        <source>停止校正</source>
        <translation>停止校正</translation>
    </message>
    <message>
        <source>您确定要停止校正程序？</source>
        <translation>您确定要停止校正程序？</translation>
    </message>
    <message>
        <source>停止读取数据！</source>
        <translation>停止读取数据！</translation>
    </message>
    <message>
        <source>停止校验！</source>
        <translation>停止校验！</translation>
    </message>
</context>
<context>
    <name>TFormComm</name>
    <message>
        <source>COMM Settings</source>
        <translation>通讯设置</translation>
    </message>
    <message>
        <source>COMM Port:</source>
        <translation>通讯串口：</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>600</source>
        <translation>600</translation>
    </message>
    <message>
        <source>1200</source>
        <translation>1200</translation>
    </message>
    <message>
        <source>2400</source>
        <translation>2400</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>Meter Address:</source>
        <translation>仪表地址：</translation>
    </message>
    <message>
        <source>Query Interval:</source>
        <translation>查询间隔：</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Meter Model:</source>
        <translation>仪表型号：</translation>
    </message>
    <message>
        <source>QETRA 7100</source>
        <translation>QETRA 7100</translation>
    </message>
    <message>
        <source>QETRA 7300</source>
        <translation>QETRA 7300</translation>
    </message>
    <message>
        <source>COM name:</source>
        <translation>COM 名称：</translation>
    </message>
    <message>
        <source>Assign to this device</source>
        <translation>分配给此设备</translation>
    </message>
    <message>
        <source>Save as default environment</source>
        <translation>保存为默认环境</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>搜索...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>COM name: %1. Nothing was changed.</source>
        <translation>COM 名称：%1。未作任何更改。</translation>
    </message>
    <message>
        <source>choose a device (such as a /dev/serial/by-id name) to give %1 to, not a COM name</source>
        <translation>请选择要分配给 %1 的设备（例如 /dev/serial/by-id 下的名称），而不是 COM 名称</translation>
    </message>
    <message>
        <source>COMM Port: %1.</source>
        <translation>通讯串口：%1。</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a whole number. Nothing was changed.</source>
        <translation>%1“%2”不是整数。未作任何更改。</translation>
    </message>
    <message>
        <source>COMM Port: %1. Nothing was changed.</source>
        <translation>通讯串口：%1。未作任何更改。</translation>
    </message>
    <message>
        <source>Meter Address</source>
        <translation>仪表地址</translation>
    </message>
    <message>
        <source>Query Interval</source>
        <translation>查询间隔</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Meter Address %1 is not within 1 to 247. Nothing was changed.</source>
        <translation>仪表地址 %1 不在 1 到 247 之间。未做任何更改。</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>网络</translation>
    </message>
    <message>
        <source>Network converter</source>
        <translation>网络转换器</translation>
    </message>
    <message>
        <source>Host:</source>
        <translation>主机：</translation>
    </message>
    <message>
        <source>TCP Port:</source>
        <translation>TCP 端口：</translation>
    </message>
    <message>
        <source>Framing:</source>
        <translation>帧格式：</translation>
    </message>
    <message>
        <source>Modbus TCP</source>
        <translation>Modbus TCP</translation>
    </message>
    <message>
        <source>RTU over TCP</source>
        <translation>RTU over TCP</translation>
    </message>
    <message>
        <source>Host: %1. Nothing was changed.</source>
        <translation>主机：%1。未做任何更改。</translation>
    </message>
    <message>
        <source>TCP Port &quot;%1&quot; must be a whole number from 1 to 65535. Nothing was changed.</source>
        <translation>TCP 端口“%1”必须是 1 到 65535 的整数。未做任何更改。</translation>
    </message>
</context>
<context>
    <name>TFormCount</name>
    <message>
        <source>角度校正</source>
        <translation>角度校正</translation>
    </message>
    <message>
        <source>现在将进行角度校正！先输入读取次数！</source>
        <translation>现在将进行角度校正！先输入读取次数！</translation>
    </message>
    <message>
        <source>输入读取次数：</source>
        <translation>输入读取次数：</translation>
    </message>
    <message>
        <source>0000</source>
        <translation>0000</translation>
    </message>
    <message>
        <source>确 定</source>
        <translation>确 定</translation>
    </message>
    <message>
        <source>取 消</source>
        <translation>取 消</translation>
    </message>
    <message>
        <source>模值校正</source>
        <translation>模值校正</translation>
    </message>
    <message>
        <source>现在将进行模值校正！先输入读取次数！</source>
        <translation>现在将进行模值校正！先输入读取次数！</translation>
    </message>
</context>
<context>
    <name>TFormHelp</name>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Cannot find the file &quot;QETRA.rtf&quot;, so no help information to show.</source>
        <translation>找不到文件“QETRA.rtf”，无法显示帮助信息。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Copy(&amp;C)</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Select All(&amp;A)</source>
        <translation>全选(&amp;A)</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Print(&amp;P)...</source>
        <translation>打印(&amp;P)...</translation>
    </message>
</context>
<context>
    <name>TFormLogToFile</name>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Every reply</source>
        <translation>每次应答</translation>
    </message>
    <message>
        <source>At most once every</source>
        <translation>最多每隔</translation>
    </message>
    <message>
        <source>One file</source>
        <translation>单个文件</translation>
    </message>
    <message>
        <source>A new file every hour</source>
        <translation>每小时一个新文件</translation>
    </message>
    <message>
        <source>A new file every day</source>
        <translation>每天一个新文件</translation>
    </message>
    <message>
        <source>Start Logging</source>
        <translation>开始记录</translation>
    </message>
    <message>
        <source>CSV file:</source>
        <translation>CSV 文件：</translation>
    </message>
    <message>
        <source>Interval:</source>
        <translation>间隔：</translation>
    </message>
    <message>
        <source>Files:</source>
        <translation>文件：</translation>
    </message>
    <message>
        <source>CSV file: enter the name of the file to log to.</source>
        <translation>CSV 文件：请输入记录文件的名称。</translation>
    </message>
    <message>
        <source>CSV file: &quot;%1&quot; is a folder; enter a file name.</source>
        <translation>CSV 文件：“%1”是文件夹；请输入文件名。</translation>
    </message>
    <message>
        <source>CSV file: the folder &quot;%1&quot; does not exist.</source>
        <translation>CSV 文件：文件夹“%1”不存在。</translation>
    </message>
    <message>
        <source>Interval: enter %1 to %2 seconds.</source>
        <translation>间隔：请输入 %1 到 %2 秒。</translation>
    </message>
</context>
<context>
    <name>TFormMeterConfig</name>
    <message>
        <source>Meter Configuration</source>
        <translation>仪表配置</translation>
    </message>
    <message>
        <source>Save Meter Configuration</source>
        <translation>保存仪表配置</translation>
    </message>
    <message>
        <source>Compare with File</source>
        <translation>与文件比较</translation>
    </message>
    <message>
        <source>Restore from File</source>
        <translation>从文件恢复</translation>
    </message>
    <message>
        <source>Clone to Meters</source>
        <translation>克隆到多台仪表</translation>
    </message>
    <message>
        <source>Meter configurations (*%1);;All files (*)</source>
        <translation>仪表配置 (*%1);;所有文件 (*)</translation>
    </message>
    <message>
        <source>No file chosen.</source>
        <translation>未选择文件。</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>保存...</translation>
    </message>
    <message>
        <source>File...</source>
        <translation>文件...</translation>
    </message>
    <message>
        <source>Compare with File...</source>
        <translation>与文件比较...</translation>
    </message>
    <message>
        <source>also address and baud rate</source>
        <translation>同时包括地址和波特率</translation>
    </message>
    <message>
        <source>Addresses:</source>
        <translation>地址：</translation>
    </message>
    <message>
        <source>Save Results...</source>
        <translation>保存结果...</translation>
    </message>
    <message>
        <source>
Nothing was written to the meter.</source>
        <translation>
没有向仪表写入任何内容。</translation>
    </message>
    <message>
        <source>Meter configuration saved to %1.</source>
        <translation>仪表配置已保存到 %1。</translation>
    </message>
    <message>
        <source>Choose the first file with &quot;File...&quot;.</source>
        <translation>请用“文件...”选择第一个文件。</translation>
    </message>
    <message>
        <source>Choose the file to restore with &quot;File...&quot;.</source>
        <translation>请用“文件...”选择要恢复的文件。</translation>
    </message>
    <message>
        <source>Are you sure to restore this configuration to the meter at address %1? %2 setting(s) differ.</source>
        <translation>确定要将此配置恢复到地址为 %1 的仪表吗？有 %2 项设置不同。</translation>
    </message>
    <message>
        <source>Meter configuration verified.</source>
        <translation>仪表配置已校验。</translation>
    </message>
    <message>
        <source>Choose the file to clone with &quot;File...&quot;.</source>
        <translation>请用“文件...”选择要克隆的文件。</translation>
    </message>
    <message>
        <source>Addresses: %1 (for example 1-20, 25). Nothing was written to any meter.</source>
        <translation>地址：%1（例如 1-20, 25）。未向任何仪表写入内容。</translation>
    </message>
    <message>
        <source>Differences only</source>
        <translation>只显示差异</translation>
    </message>
    <message>
        <source>Open Meter Configuration</source>
        <translation>打开仪表配置</translation>
    </message>
    <message>
        <source>Open Second Meter Configuration</source>
        <translation>打开第二个仪表配置</translation>
    </message>
    <message>
        <source>Save Clone Results</source>
        <translation>保存克隆结果</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV 文件 (*.csv);;所有文件 (*)</translation>
    </message>
    <message>
        <source>The line to the meter is lost; nothing was read or written. Try again when it is back.</source>
        <translation>与仪表的线路已断开；未读取或写入任何内容。线路恢复后请重试。</translation>
    </message>
    <message>
        <source>No port is chosen: choose one first (Execute → COMM Settings).</source>
        <translation>未选择端口：请先选择端口（执行 → 通讯设置）。</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened for this run: %2</source>
        <translation>无法为此次操作打开端口 %1：%2</translation>
    </message>
    <message>
        <source>Stop the communication first (Execute → Stop COMM): the configuration is read and written without polls in between.</source>
        <translation>请先停止通讯（执行 → 停止通讯）：读写配置时不能穿插轮询。</translation>
    </message>
    <message>
        <source>%1 setting(s) differ</source>
        <translation>%1 项设置不同</translation>
    </message>
    <message>
        <source>Write this configuration to %1 meter(s) at address(es) %2?</source>
        <translation>将此配置写入地址为 %2 的 %1 台仪表？</translation>
    </message>
    <message>
        <source>%1 meter(s): settings and alarms; address and baud rate unchanged.</source>
        <translation>%1 台仪表：写入设置和报警；地址和波特率不变。</translation>
    </message>
</context>
<context>
    <name>TFormSearch</name>
    <message>
        <source>Search for a meter</source>
        <translation>搜索仪表</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Trying address %1 at %2 baud (%3 of %4)</source>
        <translation>正在尝试地址 %1，波特率 %2（第 %3 次，共 %4 次）</translation>
    </message>
    <message>
        <source>The meter is being polled: stop polling first (Stop COMM), then search.</source>
        <translation>正在轮询仪表：请先停止轮询（停止通讯），再搜索。</translation>
    </message>
    <message>
        <source>Cannot search %1: %2</source>
        <translation>无法在 %1 上搜索：%2</translation>
    </message>
    <message>
        <source>Addresses %1..%2 at %3 baud are tried on %4 with a read of the meter&apos;s model block.</source>
        <translation>在 %4 上以 %3 波特率依次尝试地址 %1..%2，读取仪表的型号数据块。</translation>
    </message>
    <message>
        <source>Stopping...</source>
        <translation>正在停止...</translation>
    </message>
    <message>
        <source>Stopped: </source>
        <translation>已停止：</translation>
    </message>
    <message>
        <source>Done: </source>
        <translation>完成：</translation>
    </message>
    <message>
        <source>%1 meter(s) found in %2 tries.</source>
        <translation>在 %2 次尝试中找到 %1 台仪表。</translation>
    </message>
    <message>
        <source>Ended: </source>
        <translation>已结束：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source> The program&apos;s port did not reopen: </source>
        <translation> 程序的串口未能重新打开：</translation>
    </message>
    <message>
        <source>Unit identifiers %1..%2 are tried on %3 with a read of the meter&apos;s model block; the converter&apos;s serial side stays at %4 baud.</source>
        <translation>在 %3 上以读取仪表型号块的方式尝试单元标识 %1..%2；转换器串口侧保持 %4 波特。</translation>
    </message>
</context>
<context>
    <name>TFormSetAlarm</name>
    <message>
        <source>Group %1 </source>
        <translation>第 %1 组 </translation>
    </message>
    <message>
        <source>Alarm Delay</source>
        <translation>报警延时</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>报警项目</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>限值方向</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>限值</translation>
    </message>
</context>
<context>
    <name>TFormSetPara</name>
    <message>
        <source>The meter is reached through a network converter: set the converter&apos;s serial side to %1 baud as well, or the meter no longer answers.</source>
        <translation>仪表经网络转换器连接：请将转换器的串口侧也设为 %1 波特，否则仪表将不再应答。</translation>
    </message>
</context>
<context>
    <name>TFormTeskLink</name>
    <message>
        <source>Advanced Intelligent Power Meter Test Program</source>
        <translation>高级智能电力仪表测试程序</translation>
    </message>
    <message>
        <source>Execute(&amp;C)</source>
        <translation>执行(&amp;C)</translation>
    </message>
    <message>
        <source>SYS</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>Read(&amp;M)</source>
        <translation>读取(&amp;M)</translation>
    </message>
    <message>
        <source>Setup(&amp;S)</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>Window(&amp;W)</source>
        <translation>窗口(&amp;W)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>ToolBar1</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Start COMM(&amp;R)</source>
        <translation>开始通讯(&amp;R)</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Stop COMM(&amp;E)</source>
        <translation>停止通讯(&amp;E)</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>COMM Settings(&amp;S)</source>
        <translation>通讯设置(&amp;S)</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Counter Reset(&amp;C)</source>
        <translation>计数器清零(&amp;C)</translation>
    </message>
    <message>
        <source>Quit(&amp;Q)</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>PT</source>
        <translation>PT</translation>
    </message>
    <message>
        <source>Metering Parameters(&amp;T)</source>
        <translation>测量参数(&amp;T)</translation>
    </message>
    <message>
        <source>Meter Parameters(&amp;B)</source>
        <translation>仪表参数(&amp;B)</translation>
    </message>
    <message>
        <source>Max / Min Parameters(&amp;N)</source>
        <translation>最大 / 最小值参数(&amp;N)</translation>
    </message>
    <message>
        <source>Harmonics Parameters(&amp;H)</source>
        <translation>谐波参数(&amp;H)</translation>
    </message>
    <message>
        <source>Alarm Parameters(&amp;A)</source>
        <translation>报警参数(&amp;A)</translation>
    </message>
    <message>
        <source>Phase Angle Parameters(&amp;P)</source>
        <translation>相角参数(&amp;P)</translation>
    </message>
    <message>
        <source>Trends(&amp;R)</source>
        <translation>趋势(&amp;R)</translation>
    </message>
    <message>
        <source>Energy Presetting(&amp;E)</source>
        <translation>电能预置(&amp;E)</translation>
    </message>
    <message>
        <source>Meter Settings(&amp;M)</source>
        <translation>仪表设置(&amp;M)</translation>
    </message>
    <message>
        <source>Alarm Settings(&amp;A)</source>
        <translation>报警设置(&amp;A)</translation>
    </message>
    <message>
        <source>Select Meter Model(&amp;T)</source>
        <translation>选择仪表型号(&amp;T)</translation>
    </message>
    <message>
        <source>Save Meter Configuration…</source>
        <translation>保存仪表配置…</translation>
    </message>
    <message>
        <source>Compare with File…</source>
        <translation>与文件比较…</translation>
    </message>
    <message>
        <source>Restore from File…</source>
        <translation>从文件恢复…</translation>
    </message>
    <message>
        <source>Clone to Meters…</source>
        <translation>克隆到多台仪表…</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>校准</translation>
    </message>
    <message>
        <source>Cascade(&amp;C)</source>
        <translation>层叠(&amp;C)</translation>
    </message>
    <message>
        <source>Tile Horizontally(&amp;H)</source>
        <translation>水平平铺(&amp;H)</translation>
    </message>
    <message>
        <source>Tile Vertically(&amp;T)</source>
        <translation>垂直平铺(&amp;T)</translation>
    </message>
    <message>
        <source>Minimize All(&amp;M)</source>
        <translation>全部最小化(&amp;M)</translation>
    </message>
    <message>
        <source>About Intelligent Power Meter(&amp;M)</source>
        <translation>关于智能电力仪表(&amp;M)</translation>
    </message>
    <message>
        <source>About Us(&amp;A)</source>
        <translation>关于我们(&amp;A)</translation>
    </message>
    <message>
        <source>Start COMM</source>
        <translation>开始通讯</translation>
    </message>
    <message>
        <source>Stop COMM</source>
        <translation>停止通讯</translation>
    </message>
    <message>
        <source>COMM Settings</source>
        <translation>通讯设置</translation>
    </message>
    <message>
        <source>Cascade</source>
        <translation>层叠</translation>
    </message>
    <message>
        <source>Tile Horizontal</source>
        <translation>水平平铺</translation>
    </message>
    <message>
        <source>Tile Vertical</source>
        <translation>垂直平铺</translation>
    </message>
    <message>
        <source>Minimize All</source>
        <translation>全部最小化</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Advanced Intelligent Power Meter Test Program (Ver:2006-3-1) -- %1</source>
        <translation>高级智能电力仪表测试程序 (Ver:2006-3-1) -- %1</translation>
    </message>
    <message>
        <source>Traffic Monitor(&amp;F)</source>
        <translation>通讯监视(&amp;F)</translation>
    </message>
    <message>
        <source>Log to file…(&amp;L)</source>
        <translation>记录到文件…(&amp;L)</translation>
    </message>
    <message>
        <source>TxD: </source>
        <translation>发送: </translation>
    </message>
    <message>
        <source>RxD: </source>
        <translation>接收: </translation>
    </message>
    <message>
        <source>Reset Layout</source>
        <translation>重置布局</translation>
    </message>
    <message>
        <source>Search for a meter</source>
        <translation>搜索仪表</translation>
    </message>
    <message>
        <source>Bus(&amp;U)</source>
        <translation>总线(&amp;U)</translation>
    </message>
</context>
<context>
    <name>TFormTrafficMonitor</name>
    <message>
        <source>Traffic Monitor</source>
        <translation>通讯监视</translation>
    </message>
    <message>
        <source>Save Traffic</source>
        <translation>保存通讯记录</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>保存...</translation>
    </message>
    <message>
        <source>All statuses</source>
        <translation>全部状态</translation>
    </message>
    <message>
        <source>All functions</source>
        <translation>全部功能码</translation>
    </message>
    <message>
        <source>Rows kept; the oldest go first</source>
        <translation>保留的行数；最早的先删除</translation>
    </message>
    <message>
        <source>Rows:</source>
        <translation>行数：</translation>
    </message>
    <message>
        <source>Transactions %1</source>
        <translation>事务 %1</translation>
    </message>
    <message>
        <source>rows %1 of %2</source>
        <translation>行 %1 / %2</translation>
    </message>
    <message>
        <source>   (paused)</source>
        <translation>   （已暂停）</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Cannot save the traffic to &quot;%1&quot;: %2</source>
        <translation>无法将通讯记录保存到“%1”：%2</translation>
    </message>
</context>
<context>
    <name>TFormTrends</name>
    <message>
        <source>Open Log</source>
        <translation>打开记录</translation>
    </message>
    <message>
        <source>Data logs (*.csv);;All files (*)</source>
        <translation>数据记录 (*.csv);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Follow newest</source>
        <translation>跟随最新</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>实时</translation>
    </message>
    <message>
        <source>Open Log…</source>
        <translation>打开记录…</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>导出 CSV…</translation>
    </message>
    <message>
        <source>Export Picture…</source>
        <translation>导出图片…</translation>
    </message>
    <message>
        <source>Autoscale</source>
        <translation>自动缩放</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Span</source>
        <translation>时间跨度</translation>
    </message>
    <message>
        <source>Y axis</source>
        <translation>Y 轴</translation>
    </message>
    <message>
        <source>from</source>
        <translation>从</translation>
    </message>
    <message>
        <source>to</source>
        <translation>至</translation>
    </message>
    <message>
        <source>Data log (*.csv)</source>
        <translation>数据记录 (*.csv)</translation>
    </message>
    <message>
        <source>PNG picture (*.png);;SVG drawing (*.svg)</source>
        <translation>PNG 图片 (*.png);;SVG 矢量图 (*.svg)</translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>PNG 图片 (*.png)</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 分钟</translation>
    </message>
    <message>
        <source>This file cannot be drawn: %1</source>
        <translation>无法绘制此文件：%1</translation>
    </message>
    <message>
        <source>Log: %1 (%2 lines)</source>
        <translation>记录：%1（%2 行）</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 文件</translation>
    </message>
    <message>
        <source>The log has no column for it.</source>
        <translation>记录中没有它的列。</translation>
    </message>
    <message>
        <source>At most eight quantities at once.</source>
        <translation>最多同时显示八个量。</translation>
    </message>
    <message>
        <source>At most two units at once (a Y axis on each side).</source>
        <translation>最多同时显示两种单位（两侧各一个 Y 轴）。</translation>
    </message>
    <message>
        <source>Y axis (%1) &quot;%2&quot;: please enter a number.</source>
        <translation>Y 轴（%1）“%2”：请输入数字。</translation>
    </message>
    <message>
        <source>Y axis (%1): &quot;to&quot; must be greater than &quot;from&quot;.</source>
        <translation>Y 轴（%1）：“至”必须大于“从”。</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: %2</source>
        <translation>无法写入“%1”：%2</translation>
    </message>
    <message>
        <source>the drawing could not be written</source>
        <translation>无法写入矢量图</translation>
    </message>
    <message>
        <source>the picture could not be written (PNG)</source>
        <translation>无法写入图片（PNG）</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>正在读取 %1…</translation>
    </message>
    <message>
        <source>Y axis (%1): %2 to %3 is too small a span to draw; make it at least a millionth of the values.</source>
        <translation>Y 轴（%1）：%2 到 %3 的范围太小，无法绘制；范围至少应为数值的百万分之一。</translation>
    </message>
</context>
<context>
    <name>TForm_About</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>QETRA Series</source>
        <translation>QETRA 系列</translation>
    </message>
    <message>
        <source>Intelligent Power Meter</source>
        <translation>智能电力仪表</translation>
    </message>
    <message>
        <source>Physical Memory:</source>
        <translation>物理内存：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>TqvModbus</name>
    <message>
        <source>端口“%1”已打开。</source>
        <translation>端口“%1”已打开。</translation>
    </message>
    <message>
        <source>不能创建跟踪线程。</source>
        <translation>不能创建跟踪线程。</translation>
    </message>
</context>
<context>
    <name>TrafficCounters</name>
    <message>
        <source>Send= %1</source>
        <translation>发送= %1</translation>
    </message>
    <message>
        <source>No Response= %1</source>
        <translation>无应答= %1</translation>
    </message>
    <message>
        <source>CRC Error= %1</source>
        <translation>CRC 错误= %1</translation>
    </message>
    <message>
        <source>OK=   </source>
        <translation>成功率=   </translation>
    </message>
</context>
<context>
    <name>TrafficModel</name>
    <message>
        <source> … (%1 bytes)</source>
        <translation> …（%1 字节）</translation>
    </message>
</context>
<context>
    <name>TrafficRows</name>
    <message>
        <source>OK</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>no response</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>CRC error</source>
        <translation>CRC 错误</translation>
    </message>
    <message>
        <source>field error</source>
        <translation>字段错误</translation>
    </message>
    <message>
        <source>stray</source>
        <translation>多余数据</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Dir</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Slave</source>
        <translation>从站</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>功能码</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>起始</translation>
    </message>
    <message>
        <source>Count / exception</source>
        <translation>数量 / 异常</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>字节</translation>
    </message>
    <message>
        <source>Latency ms</source>
        <translation>延迟 ms</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Read Coils</source>
        <translation>读线圈</translation>
    </message>
    <message>
        <source>Read Discrete Inputs</source>
        <translation>读离散输入</translation>
    </message>
    <message>
        <source>Read Holding Registers</source>
        <translation>读保持寄存器</translation>
    </message>
    <message>
        <source>Read Input Registers</source>
        <translation>读输入寄存器</translation>
    </message>
    <message>
        <source>Write Single Coil</source>
        <translation>写单个线圈</translation>
    </message>
    <message>
        <source>Write Single Register</source>
        <translation>写单个寄存器</translation>
    </message>
    <message>
        <source>Write Multiple Registers</source>
        <translation>写多个寄存器</translation>
    </message>
    <message>
        <source>Long Read Registers</source>
        <translation>长读寄存器</translation>
    </message>
    <message>
        <source>Write Coil (85)</source>
        <translation>写线圈（85）</translation>
    </message>
    <message>
        <source>Counted Request</source>
        <translation>计数请求</translation>
    </message>
    <message>
        <source>Write Meter Registers</source>
        <translation>写仪表寄存器</translation>
    </message>
    <message>
        <source>Long Read with Status</source>
        <translation>带状态长读</translation>
    </message>
    <message>
        <source>Status Request</source>
        <translation>状态请求</translation>
    </message>
    <message>
        <source>Write Coil, No Reply</source>
        <translation>写线圈（无应答）</translation>
    </message>
    <message>
        <source>Illegal Function</source>
        <translation>非法功能码</translation>
    </message>
    <message>
        <source>Illegal Data Address</source>
        <translation>非法数据地址</translation>
    </message>
    <message>
        <source>Illegal Data Value</source>
        <translation>非法数据值</translation>
    </message>
    <message>
        <source>Slave Device Failure</source>
        <translation>从站设备故障</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>已确认</translation>
    </message>
    <message>
        <source>Slave Device Busy</source>
        <translation>从站设备忙</translation>
    </message>
    <message>
        <source>Memory Parity Error</source>
        <translation>存储奇偶校验错误</translation>
    </message>
    <message>
        <source>Gateway Path Unavailable</source>
        <translation>网关路径不可用</translation>
    </message>
    <message>
        <source>Gateway Target Failed to Respond</source>
        <translation>网关目标设备无响应</translation>
    </message>
    <message>
        <source>Function %1</source>
        <translation>功能码 %1</translation>
    </message>
    <message>
        <source>Exception %1</source>
        <translation>异常码 %1</translation>
    </message>
    <message>
        <source>(nothing written)</source>
        <translation>（未发送）</translation>
    </message>
    <message>
        <source>%1 (exception)</source>
        <translation>%1（异常）</translation>
    </message>
</context>
<context>
    <name>TrendChart</name>
    <message>
        <source>Choose up to eight quantities on the left.</source>
        <translation>请在左侧选择最多八个量。</translation>
    </message>
    <message>
        <source>No values yet: every reply of the metering block is recorded from start-up.</source>
        <translation>尚无数值：自启动起，测量数据块的每次应答都会被记录。</translation>
    </message>
</context>
<context>
    <name>TrendLogReader</name>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取：%1</translation>
    </message>
    <message>
        <source>this is not a data log of the meter: the first line must name the columns, beginning with &quot;Time&quot;</source>
        <translation>这不是仪表的数据记录：第一行必须列出列名，并以“Time”开头</translation>
    </message>
    <message>
        <source>column %1, &quot;%2&quot;, is not a column of the data log</source>
        <translation>第 %1 列“%2”不是数据记录的列</translation>
    </message>
    <message>
        <source>column &quot;%1&quot; appears twice</source>
        <translation>列“%1”出现了两次</translation>
    </message>
    <message>
        <source>none of its columns can be drawn</source>
        <translation>没有可绘制的列</translation>
    </message>
    <message>
        <source>%1 fields where the header has %2 (a cut or joined line)</source>
        <translation>有 %1 个字段，而表头有 %2 个（行被截断或合并）</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a time</source>
        <translation>“%1”不是时间</translation>
    </message>
    <message>
        <source>its time %1 is before the line above</source>
        <translation>其时间 %1 早于上一行</translation>
    </message>
    <message>
        <source>&quot;%1&quot; in column &quot;%2&quot; is not a number</source>
        <translation>列“%2”中的“%1”不是数字</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>文件为空</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1，第 %2 行：%3</translation>
    </message>
    <message>
        <source>no file was chosen</source>
        <translation>未选择文件</translation>
    </message>
    <message>
        <source>holds no values, only its header</source>
        <translation>只有表头，没有数值</translation>
    </message>
    <message>
        <source>its times overlap those of %1: the files are not one log</source>
        <translation>其时间与 %1 重叠：这些文件不属于同一记录</translation>
    </message>
    <message>
        <source>type %1 or %2</source>
        <translation>请写成 %1 或 %2</translation>
    </message>
    <message>
        <source>line too long</source>
        <translation>行太长</translation>
    </message>
    <message>
        <source>unclosed quote</source>
        <translation>引号未闭合</translation>
    </message>
    <message>
        <source>&quot;%1&quot; in column &quot;%2&quot; may be meant two ways: %3</source>
        <translation>列“%2”中的“%1”有两种理解：%3</translation>
    </message>
    <message>
        <source>%1: the hour of %2 came twice (the clock was set back); its times from line %3 on are taken as the second one</source>
        <translation>%1：%2 所在的一小时出现了两次（时钟回拨）；从第 %3 行起的时间按第二次计</translation>
    </message>
    <message>
        <source>the reading was cancelled</source>
        <translation>读取已取消</translation>
    </message>
</context>
<context>
    <name>ValueCopy</name>
    <message>
        <source>Quantity</source>
        <translation>物理量</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
</context>
<context>
    <name>ValueFreshness</name>
    <message>
        <source>not read yet</source>
        <translation>尚未读取</translation>
    </message>
    <message>
        <source>last read %1</source>
        <translation>上次读取 %1</translation>
    </message>
</context>
<context>
    <name>ViewWindows</name>
    <message>
        <source>Energy Parameters have modified successfully!</source>
        <translation>电能参数修改成功！</translation>
    </message>
    <message>
        <source>Meter Clock has adjusted successfully!</source>
        <translation>仪表时钟校准成功！</translation>
    </message>
    <message>
        <source>Meter Coefficients have modified successfully!</source>
        <translation>仪表系数修改成功！</translation>
    </message>
    <message>
        <source>Meter PT Type has modified successfully!</source>
        <translation>仪表 PT 类型修改成功！</translation>
    </message>
</context>
<context>
    <name>WindowKit</name>
    <message>
        <source>Copy Values</source>
        <translation>复制数值</translation>
    </message>
</context>
<context>
    <name>WiringCheck</name>
    <message>
        <source>No voltage on V%1: check the fuse and the voltage lead of phase %1.</source>
        <translation>V%1 无电压：请检查第 %1 相的保险丝和电压引线。</translation>
    </message>
    <message>
        <source>V2 is %1 and V3 %2 behind V1 (should be 120° and 240°)</source>
        <translation>V2 滞后 V1 %1，V3 滞后 V1 %2（应为 120° 和 240°）</translation>
    </message>
    <message>
        <source>Phase sequence reversed: %1. Exchange two phases at the meter, voltage and current leads together.</source>
        <translation>相序反了：%1。请在仪表处对调两相，电压和电流引线一起对调。</translation>
    </message>
    <message>
        <source>Voltage angles irregular: %1. Check which phase each voltage lead is on.</source>
        <translation>电压相角异常：%1。请检查每根电压引线接在哪一相。</translation>
    </message>
    <message>
        <source>I%1 follows V%2 (%3 apart) rather than V%1 (%4): CT%1 is on phase %2. Move it to phase %1.</source>
        <translation>I%1 跟随 V%2（相差 %3）而不是 V%1（%4）：CT%1 接在第 %2 相上。请将其移到第 %1 相。</translation>
    </message>
    <message>
        <source>I%1 is %2 from V%1: CT%1 is reversed. Swap its S1 and S2 leads.</source>
        <translation>I%1 与 V%1 相差 %2：CT%1 接反了。请交换其 S1 和 S2 引线。</translation>
    </message>
    <message>
        <source>No voltage on any phase: check the voltage leads and their fuses.</source>
        <translation>各相均无电压：请检查电压引线及其保险丝。</translation>
    </message>
    <message>
        <source>No current flows: the CTs can be checked only under load.</source>
        <translation>没有电流：只有带负载时才能检查 CT。</translation>
    </message>
    <message>
        <source>Every current is opposite its voltage (%1): either power flows towards the supply (the feeder exports, e.g. solar or a generator), or all CTs are reversed. Check the direction of power before rewiring; swap S1 and S2 of every CT only if power should flow to the load.</source>
        <translation>每相电流都与其电压反相（%1）：要么功率流向电源（馈线向外输出，例如光伏或发电机），要么所有 CT 都接反了。改线前请先确认功率方向；只有当功率应流向负载时，才交换每个 CT 的 S1 和 S2。</translation>
    </message>
    <message>
        <source>Wiring looks right: sequence V1-V2-V3, each current near its own voltage.</source>
        <translation>接线正确：相序 V1-V2-V3，每相电流都靠近其自身电压。</translation>
    </message>
</context>
<context>
    <name>WriteCommand</name>
    <message>
        <source>Prompt</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Are you sure to set these Alarm Parameters? The action will cause refreshing all alarm records.</source>
        <translation>确定要设置这些报警参数吗？此操作将刷新所有报警记录。</translation>
    </message>
    <message>
        <source>Are you sure to set these Meter Parameters?</source>
        <translation>确定要设置这些仪表参数吗？</translation>
    </message>
    <message>
        <source>Are you sure to preset these Energy Parameters?</source>
        <translation>确定要预置这些电能参数吗？</translation>
    </message>
    <message>
        <source>Are you sure to clear these Max/Min Statistics?</source>
        <translation>确定要清除这些最大/最小值统计吗？</translation>
    </message>
    <message>
        <source>Are you sure to reset all Energy Parameters?</source>
        <translation>确定要将所有电能参数清零吗？</translation>
    </message>
    <message>
        <source>Are you sure to adjust the Meter Clock?</source>
        <translation>确定要校准仪表时钟吗？</translation>
    </message>
    <message>
        <source>Are you sure to reset the Meter Runtime?</source>
        <translation>确定要将仪表运行时间清零吗？</translation>
    </message>
</context>
</TS>
