<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>AddressList</name>
    <message>
        <source>Addresses: &quot;%1&quot; is not an address or a range of %2 to %3</source>
        <translation>Addresses: &quot;%1&quot; is not an address or a range of %2 to %3</translation>
    </message>
    <message>
        <source>Addresses: type the meters&apos; addresses, %1 to %2 (&quot;1-12, 17&quot;)</source>
        <translation>Addresses: type the meters&apos; addresses, %1 to %2 (&quot;1-12, 17&quot;)</translation>
    </message>
    <message>
        <source>The stored address list held entries outside %1 to %2; they were dropped: %3</source>
        <translation>The stored address list held entries outside %1 to %2; they were dropped: %3</translation>
    </message>
</context>
<context>
    <name>AlarmCodec</name>
    <message>
        <source>Alarm Parameter error!
</source>
        <translation>Alarm Parameter error!
</translation>
    </message>
    <message>
        <source>Group %1: </source>
        <translation>Group %1: </translation>
    </message>
    <message>
        <source>%1 has no selection (%2).</source>
        <translation>%1 has no selection (%2).</translation>
    </message>
    <message>
        <source>Alarm Item error!
</source>
        <translation>Alarm Item error!
</translation>
    </message>
    <message>
        <source>no alarm item is selected.</source>
        <translation>no alarm item is selected.</translation>
    </message>
    <message>
        <source>Value &quot;%1&quot; is not a number as this desktop writes them (like &quot;%2&quot;).</source>
        <translation>Value &quot;%1&quot; is not a number as this desktop writes them (like &quot;%2&quot;).</translation>
    </message>
    <message>
        <source>Value cannot be converted with the meter&apos;s PT ratio %1 and CT ratio %2.</source>
        <translation>Value cannot be converted with the meter&apos;s PT ratio %1 and CT ratio %2.</translation>
    </message>
    <message>
        <source>Value &quot;%1&quot; is outside %2 .. %3.</source>
        <translation>Value &quot;%1&quot; is outside %2 .. %3.</translation>
    </message>
    <message>
        <source>Alarm Delay has no selection (0 .. %1 ms).</source>
        <translation>Alarm Delay has no selection (0 .. %1 ms).</translation>
    </message>
    <message>
        <source>F (Frequency)</source>
        <translation>F (Frequency)</translation>
    </message>
    <message>
        <source>V1 (Phase A Voltage)</source>
        <translation>V1 (Phase A Voltage)</translation>
    </message>
    <message>
        <source>V2 (Phase B Voltage)</source>
        <translation>V2 (Phase B Voltage)</translation>
    </message>
    <message>
        <source>V3 (Phase C Voltage)</source>
        <translation>V3 (Phase C Voltage)</translation>
    </message>
    <message>
        <source>Vlnavg (Phase Voltage Average)</source>
        <translation>Vlnavg (Phase Voltage Average)</translation>
    </message>
    <message>
        <source>V12 (Line AB Voltage)</source>
        <translation>V12 (Line AB Voltage)</translation>
    </message>
    <message>
        <source>V23 (Line BC Voltage)</source>
        <translation>V23 (Line BC Voltage)</translation>
    </message>
    <message>
        <source>V31 (Line CA Voltage)</source>
        <translation>V31 (Line CA Voltage)</translation>
    </message>
    <message>
        <source>Vllavg (Line Voltage Average)</source>
        <translation>Vllavg (Line Voltage Average)</translation>
    </message>
    <message>
        <source>I1 (Current A)</source>
        <translation>I1 (Current A)</translation>
    </message>
    <message>
        <source>I2 (Current B)</source>
        <translation>I2 (Current B)</translation>
    </message>
    <message>
        <source>I3 (Current C)</source>
        <translation>I3 (Current C)</translation>
    </message>
    <message>
        <source>Iavg (Current Average)</source>
        <translation>Iavg (Current Average)</translation>
    </message>
    <message>
        <source>In (Neutral Current)</source>
        <translation>In (Neutral Current)</translation>
    </message>
    <message>
        <source>P1 (Power 1)</source>
        <translation>P1 (Power 1)</translation>
    </message>
    <message>
        <source>P2 (Power 2)</source>
        <translation>P2 (Power 2)</translation>
    </message>
    <message>
        <source>P3 (Power 3)</source>
        <translation>P3 (Power 3)</translation>
    </message>
    <message>
        <source>Psum (Power)</source>
        <translation>Psum (Power)</translation>
    </message>
    <message>
        <source>Q1 (Reactive Power 1)</source>
        <translation>Q1 (Reactive Power 1)</translation>
    </message>
    <message>
        <source>Q2 (Reactive Power 2)</source>
        <translation>Q2 (Reactive Power 2)</translation>
    </message>
    <message>
        <source>Q3 (Reactive Power 3)</source>
        <translation>Q3 (Reactive Power 3)</translation>
    </message>
    <message>
        <source>Qsum (Reactive Power)</source>
        <translation>Qsum (Reactive Power)</translation>
    </message>
    <message>
        <source>S1 (Apparent Power 1)</source>
        <translation>S1 (Apparent Power 1)</translation>
    </message>
    <message>
        <source>S2 (Apparent Power 2)</source>
        <translation>S2 (Apparent Power 2)</translation>
    </message>
    <message>
        <source>S3 (Apparent Power 3)</source>
        <translation>S3 (Apparent Power 3)</translation>
    </message>
    <message>
        <source>Ssum (Apparent Power)</source>
        <translation>Ssum (Apparent Power)</translation>
    </message>
    <message>
        <source>PF1 (Power Factor 1)</source>
        <translation>PF1 (Power Factor 1)</translation>
    </message>
    <message>
        <source>PF2 (Power Factor 2)</source>
        <translation>PF2 (Power Factor 2)</translation>
    </message>
    <message>
        <source>PF3 (Power Factor 3)</source>
        <translation>PF3 (Power Factor 3)</translation>
    </message>
    <message>
        <source>PF (Power Factor)</source>
        <translation>PF (Power Factor)</translation>
    </message>
    <message>
        <source>U_unbl (Voltage Unbalance Factor)</source>
        <translation>U_unbl (Voltage Unbalance Factor)</translation>
    </message>
    <message>
        <source>I_unbl (Current Unbalance Factor)</source>
        <translation>I_unbl (Current Unbalance Factor)</translation>
    </message>
    <message>
        <source>Dmd_P (Power Demand)</source>
        <translation>Dmd_P (Power Demand)</translation>
    </message>
    <message>
        <source>Dmd_Q (Reactive Power Demand)</source>
        <translation>Dmd_Q (Reactive Power Demand)</translation>
    </message>
    <message>
        <source>Dmd_S (Apparent Power Demand)</source>
        <translation>Dmd_S (Apparent Power Demand)</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>OFF or ACTIVE</source>
        <translation>OFF or ACTIVE</translation>
    </message>
    <message>
        <source>OFF or ON</source>
        <translation>OFF or ON</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Below or Above</source>
        <translation>Below or Above</translation>
    </message>
    <message>
        <source>Value %1.</source>
        <translation>Value %1.</translation>
    </message>
</context>
<context>
    <name>AlarmRecords</name>
    <message>
        <source>Alarm Record %1</source>
        <translation>Alarm Record %1</translation>
    </message>
</context>
<context>
    <name>AlarmWindows</name>
    <message>
        <source>Alarm Parameters have modified successfully!</source>
        <translation>Alarm Parameters have modified successfully!</translation>
    </message>
</context>
<context>
    <name>BusMeterState</name>
    <message>
        <source>silent since %1</source>
        <translation>silent since %1</translation>
    </message>
    <message>
        <source>not asked yet</source>
        <translation>not asked yet</translation>
    </message>
    <message>
        <source>no answer yet</source>
        <translation>no answer yet</translation>
    </message>
    <message>
        <source>answering</source>
        <translation>answering</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>CalibrationRun</name>
    <message>
        <source>原始数据读取计算完毕，写入模校正系数吗（仅电流部分）?</source>
        <translation>The readings are taken and calculated. Write the gain correction coefficients (currents only)?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入模校正系数吗?</source>
        <translation>The readings are taken and calculated. Write the gain correction coefficients?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入模校正系数吗（仅电压部分）?</source>
        <translation>The readings are taken and calculated. Write the gain correction coefficients (voltages only)?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入角差校正常数吗（仅电流部分）?</source>
        <translation>The readings are taken and calculated. Write the angle difference correction constants (currents only)?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入角差校正系数吗?</source>
        <translation>The readings are taken and calculated. Write the angle difference correction coefficients?</translation>
    </message>
    <message>
        <source>原始数据读取计算完毕，写入角差校正系数吗（仅电压部分）?</source>
        <translation>The readings are taken and calculated. Write the angle difference correction coefficients (voltages only)?</translation>
    </message>
    <message>
        <source>The meter&apos;s coefficients have not been read yet, so the corrections cannot be added to them. Nothing was written.</source>
        <translation>The meter&apos;s coefficients have not been read yet, so the corrections cannot be added to them. Nothing was written.</translation>
    </message>
    <message>
        <source>%1: %2 %3 %4 = %5 lies outside %6..%7, the range the coefficient can take. Nothing was written.</source>
        <translation>%1: %2 %3 %4 = %5 lies outside %6..%7, the range the coefficient can take. Nothing was written.</translation>
    </message>
</context>
<context>
    <name>CalibrationWindows</name>
    <message>
        <source>Modular Coefficients have modified successfully!</source>
        <translation>Modular Coefficients have modified successfully!</translation>
    </message>
    <message>
        <source>Angle Difference Const has modified successfully!</source>
        <translation>Angle Difference Const has modified successfully!</translation>
    </message>
    <message>
        <source>Meter Display Mode has modified successfully!</source>
        <translation>Meter Display Mode has modified successfully!</translation>
    </message>
</context>
<context>
    <name>ChangedFields</name>
    <message>
        <source>Nothing differs from what the meter holds.</source>
        <translation>Nothing differs from what the meter holds.</translation>
    </message>
</context>
<context>
    <name>CoefficientMessages</name>
    <message>
        <source>%1 (%2) holds &quot;%3&quot;: a coefficient must be a whole number from %4 to %5. Nothing was written.</source>
        <translation>%1 (%2) holds &quot;%3&quot;: a coefficient must be a whole number from %4 to %5. Nothing was written.</translation>
    </message>
    <message>
        <source>输入读取次数 &quot;%1&quot;: the number of readings must be a whole number from 1 to %2. No calibration was started.</source>
        <translation>Number of readings &quot;%1&quot;: the number of readings must be a whole number from 1 to %2. No calibration was started.</translation>
    </message>
</context>
<context>
    <name>CommissioningReport</name>
    <message>
        <source>Frequency</source>
        <translation>Frequency</translation>
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
        <translation>V avg (L-N)</translation>
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
        <translation>V avg (L-L)</translation>
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
        <translation>I avg</translation>
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
        <translation>P sum</translation>
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
        <translation>Q sum</translation>
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
        <translation>S sum</translation>
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
        <translation>Voltage unbalance</translation>
    </message>
    <message>
        <source>Current unbalance</source>
        <translation>Current unbalance</translation>
    </message>
    <message>
        <source>Load type</source>
        <translation>Load type</translation>
    </message>
    <message>
        <source>Demand P</source>
        <translation>Demand P</translation>
    </message>
    <message>
        <source>Demand Q</source>
        <translation>Demand Q</translation>
    </message>
    <message>
        <source>Demand S</source>
        <translation>Demand S</translation>
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
        <translation>V2 behind V1</translation>
    </message>
    <message>
        <source>V3 behind V1</source>
        <translation>V3 behind V1</translation>
    </message>
    <message>
        <source>I1 behind V1</source>
        <translation>I1 behind V1</translation>
    </message>
    <message>
        <source>I2 behind V1</source>
        <translation>I2 behind V1</translation>
    </message>
    <message>
        <source>I3 behind V1</source>
        <translation>I3 behind V1</translation>
    </message>
    <message>
        <source>V23 behind V12</source>
        <translation>V23 behind V12</translation>
    </message>
    <message>
        <source>I1 behind V12</source>
        <translation>I1 behind V12</translation>
    </message>
    <message>
        <source>I3 behind V12</source>
        <translation>I3 behind V12</translation>
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
        <translation>THD V avg</translation>
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
        <translation>THD I avg</translation>
    </message>
    <message>
        <source>0 s (in step)</source>
        <translation>0 s (in step)</translation>
    </message>
    <message>
        <source>%1%2 s (meter %3)</source>
        <translation>%1%2 s (meter %3)</translation>
    </message>
    <message>
        <source>ahead</source>
        <translation>ahead</translation>
    </message>
    <message>
        <source>behind</source>
        <translation>behind</translation>
    </message>
    <message>
        <source>1  Site</source>
        <translation>1  Site</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Feeder / panel</source>
        <translation>Feeder / panel</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>PC date and time</source>
        <translation>PC date and time</translation>
    </message>
    <message>
        <source>Meter clock</source>
        <translation>Meter clock</translation>
    </message>
    <message>
        <source>Meter clock - PC</source>
        <translation>Meter clock - PC</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>2  Meter</source>
        <translation>2  Meter</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Address (asked)</source>
        <translation>Address (asked)</translation>
    </message>
    <message>
        <source>Address (meter)</source>
        <translation>Address (meter)</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>%1 bps</source>
        <translation>%1 bps</translation>
    </message>
    <message>
        <source>Run time</source>
        <translation>Run time</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>3  Configuration</source>
        <translation>3  Configuration</translation>
    </message>
    <message>
        <source>Meter settings</source>
        <translation>Meter settings</translation>
    </message>
    <message>
        <source>PT ratio</source>
        <translation>PT ratio</translation>
    </message>
    <message>
        <source>CT ratio</source>
        <translation>CT ratio</translation>
    </message>
    <message>
        <source>Alarm groups</source>
        <translation>Alarm groups</translation>
    </message>
    <message>
        <source>Alarm settings</source>
        <translation>Alarm settings</translation>
    </message>
    <message>
        <source>Group %1</source>
        <translation>Group %1</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>ACTIVE</source>
        <translation>ACTIVE</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>Below</source>
        <translation>Below</translation>
    </message>
    <message>
        <source>Above</source>
        <translation>Above</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
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
        <translation>Item</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Alarm delay</source>
        <translation>Alarm delay</translation>
    </message>
    <message>
        <source>4  Measurements</source>
        <translation>4  Measurements</translation>
    </message>
    <message>
        <source>Metering values</source>
        <translation>Metering values</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>5  Wiring</source>
        <translation>5  Wiring</translation>
    </message>
    <message>
        <source>Phase angles</source>
        <translation>Phase angles</translation>
    </message>
    <message>
        <source>Wiring check: %1 (it needs the phase angles and the metering values of one snapshot)</source>
        <translation>Wiring check: %1 (it needs the phase angles and the metering values of one snapshot)</translation>
    </message>
    <message>
        <source>Wiring check</source>
        <translation>Wiring check</translation>
    </message>
    <message>
        <source>6  Power quality</source>
        <translation>6  Power quality</translation>
    </message>
    <message>
        <source>THD</source>
        <translation>THD</translation>
    </message>
    <message>
        <source>Current spectrum</source>
        <translation>Current spectrum</translation>
    </message>
    <message>
        <source>Harmonic current in % of the fundamental</source>
        <translation>Harmonic current in % of the fundamental</translation>
    </message>
    <message>
        <source>7  Max/Min and alarm records</source>
        <translation>7  Max/Min and alarm records</translation>
    </message>
    <message>
        <source>Max Value</source>
        <translation>Max Value</translation>
    </message>
    <message>
        <source>at</source>
        <translation>at</translation>
    </message>
    <message>
        <source>Min Value</source>
        <translation>Min Value</translation>
    </message>
    <message>
        <source>Alarm records</source>
        <translation>Alarm records</translation>
    </message>
    <message>
        <source>8  The line</source>
        <translation>8  The line</translation>
    </message>
    <message>
        <source>Requests sent</source>
        <translation>Requests sent</translation>
    </message>
    <message>
        <source>Good replies</source>
        <translation>Good replies</translation>
    </message>
    <message>
        <source>No response</source>
        <translation>No response</translation>
    </message>
    <message>
        <source>CRC errors</source>
        <translation>CRC errors</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>Commissioning report</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>not read</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>not read (needs the meter settings)</source>
        <translation>not read (needs the meter settings)</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>settings</translation>
    </message>
    <message>
        <source>model</source>
        <translation>model</translation>
    </message>
    <message>
        <source>clock</source>
        <translation>clock</translation>
    </message>
    <message>
        <source>run time</source>
        <translation>run time</translation>
    </message>
    <message>
        <source>metering values</source>
        <translation>metering values</translation>
    </message>
    <message>
        <source>temperature</source>
        <translation>temperature</translation>
    </message>
    <message>
        <source>relay outputs</source>
        <translation>relay outputs</translation>
    </message>
    <message>
        <source>digital inputs</source>
        <translation>digital inputs</translation>
    </message>
    <message>
        <source>phase angles</source>
        <translation>phase angles</translation>
    </message>
    <message>
        <source>current spectrum</source>
        <translation>current spectrum</translation>
    </message>
    <message>
        <source>maxima</source>
        <translation>maxima</translation>
    </message>
    <message>
        <source>minima</source>
        <translation>minima</translation>
    </message>
    <message>
        <source>alarm settings</source>
        <translation>alarm settings</translation>
    </message>
    <message>
        <source>alarm records</source>
        <translation>alarm records</translation>
    </message>
    <message>
        <source>wiring not checked</source>
        <translation>wiring not checked</translation>
    </message>
    <message>
        <source>wiring looks right</source>
        <translation>wiring looks right</translation>
    </message>
    <message>
        <source>no alarm active</source>
        <translation>no alarm active</translation>
    </message>
    <message>
        <source>alarm active in group %1</source>
        <translation>alarm active in group %1</translation>
    </message>
    <message>
        <source>every block read</source>
        <translation>every block read</translation>
    </message>
    <message>
        <source>not read: %1</source>
        <translation>not read: %1</translation>
    </message>
    <message>
        <source>Verdict: %1</source>
        <translation>Verdict: %1</translation>
    </message>
    <message>
        <source>9  Hand-over</source>
        <translation>9  Hand-over</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Signature</translation>
    </message>
    <message>
        <source>No alarm records</source>
        <translation>No alarm records</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>numbers in %1: %2</source>
        <translation>numbers in %1: %2</translation>
    </message>
</context>
<context>
    <name>ConfigTransfer</name>
    <message>
        <source>&quot;%1&quot; is not an address or a range like 1-20</source>
        <translation>&quot;%1&quot; is not an address or a range like 1-20</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not within 1..247 (first not above last)</source>
        <translation>&quot;%1&quot; is not within 1..247 (first not above last)</translation>
    </message>
    <message>
        <source>address %1 is listed twice</source>
        <translation>address %1 is listed twice</translation>
    </message>
</context>
<context>
    <name>FormAlarm</name>
    <message>
        <source>Alarm Parameters</source>
        <translation>Alarm Parameters</translation>
    </message>
    <message>
        <source>Group 1</source>
        <translation>Group 1</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>U_unbl (Voltage Unbalance Factor)</source>
        <translation>U_unbl (Voltage Unbalance Factor)</translation>
    </message>
    <message>
        <source>Dmd_P</source>
        <translation>Dmd_P</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Group 2</source>
        <translation>Group 2</translation>
    </message>
    <message>
        <source>Group 3</source>
        <translation>Group 3</translation>
    </message>
    <message>
        <source>Group 4</source>
        <translation>Group 4</translation>
    </message>
    <message>
        <source>Group 5</source>
        <translation>Group 5</translation>
    </message>
    <message>
        <source>Group 6</source>
        <translation>Group 6</translation>
    </message>
    <message>
        <source>Group 7</source>
        <translation>Group 7</translation>
    </message>
    <message>
        <source>Group 8</source>
        <translation>Group 8</translation>
    </message>
    <message>
        <source>Group 9</source>
        <translation>Group 9</translation>
    </message>
    <message>
        <source>Setup (&amp;S) ...</source>
        <translation>Setup (&amp;S) ...</translation>
    </message>
</context>
<context>
    <name>FormAngle</name>
    <message>
        <source>Phase Angle Parameters</source>
        <translation>Phase Angle Parameters</translation>
    </message>
    <message>
        <source>V2 - V1 Phase Angle:</source>
        <translation>V2 - V1 Phase Angle:</translation>
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
        <translation>V3 - V1 Phase Angle:</translation>
    </message>
    <message>
        <source>I1 - V1 Phase Angle:</source>
        <translation>I1 - V1 Phase Angle:</translation>
    </message>
    <message>
        <source>I2 - V1 Phase Angle:</source>
        <translation>I2 - V1 Phase Angle:</translation>
    </message>
    <message>
        <source>I3 - V1 Phase Angle:</source>
        <translation>I3 - V1 Phase Angle:</translation>
    </message>
    <message>
        <source>V23 - V12 Phase Angle:</source>
        <translation>V23 - V12 Phase Angle:</translation>
    </message>
    <message>
        <source>I1 - V12 Phase Angle:</source>
        <translation>I1 - V12 Phase Angle:</translation>
    </message>
    <message>
        <source>I3 - V12 Phase Angle:</source>
        <translation>I3 - V12 Phase Angle:</translation>
    </message>
    <message>
        <source>Phasor Diagram</source>
        <translation>Phasor Diagram</translation>
    </message>
    <message>
        <source>Wiring Check</source>
        <translation>Wiring Check</translation>
    </message>
    <message>
        <source>Waiting for the angles and the metering values.</source>
        <translation>Waiting for the angles and the metering values.</translation>
    </message>
</context>
<context>
    <name>FormBase</name>
    <message>
        <source>Metering Parameters</source>
        <translation>Metering Parameters</translation>
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
        <translation>Temp:</translation>
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
        <translation>Load:</translation>
    </message>
    <message>
        <source>Capacitive</source>
        <translation>Capacitive</translation>
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
        <translation>OFF</translation>
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
        <translation>Energy Reset</translation>
    </message>
</context>
<context>
    <name>FormCalirate</name>
    <message>
        <source>Calibrating</source>
        <translation>Calibrating</translation>
    </message>
    <message>
        <source>Metering</source>
        <translation>Metering</translation>
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
        <translation>Coefficients</translation>
    </message>
    <message>
        <source>History Value</source>
        <translation>History Value</translation>
    </message>
    <message>
        <source>Calculate Value</source>
        <translation>Calculate Value</translation>
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
        <translation>Angle Calibrating(F1)</translation>
    </message>
    <message>
        <source>Amplitude Calibrating(F2)</source>
        <translation>Amplitude Calibrating(F2)</translation>
    </message>
    <message>
        <source>Parameter Modification</source>
        <translation>Parameter Modification</translation>
    </message>
    <message>
        <source>Quit(F4)</source>
        <translation>Quit(F4)</translation>
    </message>
    <message>
        <source>Standard Value</source>
        <translation>Standard Value</translation>
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
        <translation>PT voltage</translation>
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
        <translation>Others</translation>
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
        <translation>Stop Calibration(&amp;E)</translation>
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
        <translation>FormChangeConst</translation>
    </message>
    <message>
        <source>修改模系数(Gain)：</source>
        <translation>Change gain coefficients (Gain):</translation>
    </message>
    <message>
        <source>模系数清零</source>
        <translation>Clear gain coefficients</translation>
    </message>
    <message>
        <source>VA--ADJ：</source>
        <translation>VA--ADJ:</translation>
    </message>
    <message>
        <source>00000</source>
        <translation>00000</translation>
    </message>
    <message>
        <source>VB--ADJ：</source>
        <translation>VB--ADJ:</translation>
    </message>
    <message>
        <source>VC--ADJ：</source>
        <translation>VC--ADJ:</translation>
    </message>
    <message>
        <source>IA--ADJ：</source>
        <translation>IA--ADJ:</translation>
    </message>
    <message>
        <source>IB--ADJ：</source>
        <translation>IB--ADJ:</translation>
    </message>
    <message>
        <source>IC--ADJ：</source>
        <translation>IC--ADJ:</translation>
    </message>
    <message>
        <source>IA1--ADJ：</source>
        <translation>IA1--ADJ:</translation>
    </message>
    <message>
        <source>IB1--ADJ：</source>
        <translation>IB1--ADJ:</translation>
    </message>
    <message>
        <source>IC1--ADJ：</source>
        <translation>IC1--ADJ:</translation>
    </message>
    <message>
        <source>修改角差常数(Const)：</source>
        <translation>Change angle difference constants (Const):</translation>
    </message>
    <message>
        <source>角差常数清零</source>
        <translation>Clear angle difference constants</translation>
    </message>
    <message>
        <source>IA--RI：</source>
        <translation>IA--RI:</translation>
    </message>
    <message>
        <source>VB--RI：</source>
        <translation>VB--RI:</translation>
    </message>
    <message>
        <source>IB--RI：</source>
        <translation>IB--RI:</translation>
    </message>
    <message>
        <source>VC--RI：</source>
        <translation>VC--RI:</translation>
    </message>
    <message>
        <source>IC--RI：</source>
        <translation>IC--RI:</translation>
    </message>
    <message>
        <source>IA1--RI：</source>
        <translation>IA1--RI:</translation>
    </message>
    <message>
        <source>IB1--RI：</source>
        <translation>IB1--RI:</translation>
    </message>
    <message>
        <source>IC1--RI：</source>
        <translation>IC1--RI:</translation>
    </message>
    <message>
        <source>修改其它：</source>
        <translation>Change others:</translation>
    </message>
    <message>
        <source>其它清零</source>
        <translation>Clear others</translation>
    </message>
    <message>
        <source>VAA--ADJ：</source>
        <translation>VAA--ADJ:</translation>
    </message>
    <message>
        <source>VBB--ADJ：</source>
        <translation>VBB--ADJ:</translation>
    </message>
    <message>
        <source>VCC--ADJ：</source>
        <translation>VCC--ADJ:</translation>
    </message>
    <message>
        <source>UBB--RI：</source>
        <translation>UBB--RI:</translation>
    </message>
    <message>
        <source>UCC--RI：</source>
        <translation>UCC--RI:</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>FormDriveType</name>
    <message>
        <source>Select Meter Model</source>
        <translation>Select Meter Model</translation>
    </message>
    <message>
        <source>Meter Model:</source>
        <translation>Meter Model:</translation>
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
        <translation>Version:</translation>
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
        <translation>Clock:</translation>
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
        <translation>Adjust</translation>
    </message>
    <message>
        <source>Meter RunTime:</source>
        <translation>Meter RunTime:</translation>
    </message>
    <message>
        <source>21474836.47 Hours</source>
        <translation>21474836.47 Hours</translation>
    </message>
    <message>
        <source>0000000.00 Hours</source>
        <translation>0000000.00 Hours</translation>
    </message>
    <message>
        <source>Reset RunTime</source>
        <translation>Reset RunTime</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequency:</translation>
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
        <translation>Display Mode:</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>All Lights</source>
        <translation>All Lights</translation>
    </message>
    <message>
        <source>PT Type:</source>
        <translation>PT Type:</translation>
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
        <translation>Set</translation>
    </message>
</context>
<context>
    <name>FormKw</name>
    <message>
        <source>Energy Parameters</source>
        <translation>Energy Parameters</translation>
    </message>
    <message>
        <source>Energy Ep_imp:</source>
        <translation>Energy Ep_imp:</translation>
    </message>
    <message>
        <source>kWh</source>
        <translation>kWh</translation>
    </message>
    <message>
        <source>Energy Ep_exp:</source>
        <translation>Energy Ep_exp:</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_imp:</source>
        <translation>Reactive Energy Eq_imp:</translation>
    </message>
    <message>
        <source>kvarh</source>
        <translation>kvarh</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_exp:</source>
        <translation>Reactive Energy Eq_exp:</translation>
    </message>
    <message>
        <source>Energy Ep_total:</source>
        <translation>Energy Ep_total:</translation>
    </message>
    <message>
        <source>Energy Ep_net:</source>
        <translation>Energy Ep_net:</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_total:</source>
        <translation>Reactive Energy Eq_total:</translation>
    </message>
    <message>
        <source>Reactive Energy Eq_net:</source>
        <translation>Reactive Energy Eq_net:</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Preset</translation>
    </message>
</context>
<context>
    <name>FormLogToFile</name>
    <message>
        <source>Log to File</source>
        <translation>Log to File</translation>
    </message>
</context>
<context>
    <name>FormPara</name>
    <message>
        <source>Meter Parameters</source>
        <translation>Meter Parameters</translation>
    </message>
    <message>
        <source>Access Code:</source>
        <translation>Access Code:</translation>
    </message>
    <message>
        <source>0.000000</source>
        <translation>0.000000</translation>
    </message>
    <message>
        <source>Meter Address:</source>
        <translation>Meter Address:</translation>
    </message>
    <message>
        <source>00000</source>
        <translation>00000</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>Baud Rate:</translation>
    </message>
    <message>
        <source>Voltage Wiring:</source>
        <translation>Voltage Wiring:</translation>
    </message>
    <message>
        <source>Current Wiring:</source>
        <translation>Current Wiring:</translation>
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
        <translation>DO Mode:</translation>
    </message>
    <message>
        <source>Energy Pulse</source>
        <translation>Energy Pulse</translation>
    </message>
    <message>
        <source>DO1 (Pulse) Selecting:</source>
        <translation>DO1 (Pulse) Selecting:</translation>
    </message>
    <message>
        <source>0000</source>
        <translation>0000</translation>
    </message>
    <message>
        <source>DO2 (Pulse) Selecting:</source>
        <translation>DO2 (Pulse) Selecting:</translation>
    </message>
    <message>
        <source>Pulse Width:</source>
        <translation>Pulse Width:</translation>
    </message>
    <message>
        <source>Pulse Rate:</source>
        <translation>Pulse Rate:</translation>
    </message>
    <message>
        <source>RO1-Output Mode:</source>
        <translation>RO1-Output Mode:</translation>
    </message>
    <message>
        <source>RO1-Momentary On Time:</source>
        <translation>RO1-Momentary On Time:</translation>
    </message>
    <message>
        <source>RO2-Output Mode:</source>
        <translation>RO2-Output Mode:</translation>
    </message>
    <message>
        <source>RO2-Momentary On Time:</source>
        <translation>RO2-Momentary On Time:</translation>
    </message>
    <message>
        <source>Backlight On Time:</source>
        <translation>Backlight On Time:</translation>
    </message>
    <message>
        <source>Demand Window Width:</source>
        <translation>Demand Window Width:</translation>
    </message>
    <message>
        <source>Setup (&amp;S) ...</source>
        <translation>Setup (&amp;S) ...</translation>
    </message>
</context>
<context>
    <name>FormSetAlarm</name>
    <message>
        <source>Alarm Settings</source>
        <translation>Alarm Settings</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Status:</translation>
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
        <translation>Item:</translation>
    </message>
    <message>
        <source>Limit:</source>
        <translation>Limit:</translation>
    </message>
    <message>
        <source>Value:</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>Group 1:</source>
        <translation>Group 1:</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>ACTIVE</source>
        <translation>ACTIVE</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>Below</source>
        <translation>Below</translation>
    </message>
    <message>
        <source>Above</source>
        <translation>Above</translation>
    </message>
    <message>
        <source>0000.00</source>
        <translation>0000.00</translation>
    </message>
    <message>
        <source>Group 2:</source>
        <translation>Group 2:</translation>
    </message>
    <message>
        <source>Group 3:</source>
        <translation>Group 3:</translation>
    </message>
    <message>
        <source>Group 4:</source>
        <translation>Group 4:</translation>
    </message>
    <message>
        <source>Group 5:</source>
        <translation>Group 5:</translation>
    </message>
    <message>
        <source>Group 6:</source>
        <translation>Group 6:</translation>
    </message>
    <message>
        <source>Group 7:</source>
        <translation>Group 7:</translation>
    </message>
    <message>
        <source>Group 8:</source>
        <translation>Group 8:</translation>
    </message>
    <message>
        <source>Group 9:</source>
        <translation>Group 9:</translation>
    </message>
    <message>
        <source>Alarm Delay:</source>
        <translation>Alarm Delay:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
</context>
<context>
    <name>FormSetPara</name>
    <message>
        <source>Meter Settings</source>
        <translation>Meter Settings</translation>
    </message>
    <message>
        <source>Access Code:</source>
        <translation>Access Code:</translation>
    </message>
    <message>
        <source>Meter Address:</source>
        <translation>Meter Address:</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>Baud Rate:</translation>
    </message>
    <message>
        <source>Voltage Wiring:</source>
        <translation>Voltage Wiring:</translation>
    </message>
    <message>
        <source>Current Wiring:</source>
        <translation>Current Wiring:</translation>
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
        <translation>DO Mode:</translation>
    </message>
    <message>
        <source>DO1 (Pulse) Selecting:</source>
        <translation>DO1 (Pulse) Selecting:</translation>
    </message>
    <message>
        <source>DO2 (Pulse) Selecting:</source>
        <translation>DO2 (Pulse) Selecting:</translation>
    </message>
    <message>
        <source>Pulse Width:</source>
        <translation>Pulse Width:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Pulse Rate:</source>
        <translation>Pulse Rate:</translation>
    </message>
    <message>
        <source>RO1-Output Mode:</source>
        <translation>RO1-Output Mode:</translation>
    </message>
    <message>
        <source>RO1-Momentary On Time:</source>
        <translation>RO1-Momentary On Time:</translation>
    </message>
    <message>
        <source>RO2-Output Mode:</source>
        <translation>RO2-Output Mode:</translation>
    </message>
    <message>
        <source>RO2-Momentary On Time:</source>
        <translation>RO2-Momentary On Time:</translation>
    </message>
    <message>
        <source>Backlight On Time:</source>
        <translation>Backlight On Time:</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Demand Window Width:</source>
        <translation>Demand Window Width:</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
</context>
<context>
    <name>FormSuperNum</name>
    <message>
        <source>Max / Min Statistics with Time Stamps</source>
        <translation>Max / Min Statistics with Time Stamps</translation>
    </message>
    <message>
        <source>MAX with Time Stamp:</source>
        <translation>MAX with Time Stamp:</translation>
    </message>
    <message>
        <source>MIN with Time Stamp:</source>
        <translation>MIN with Time Stamp:</translation>
    </message>
    <message>
        <source>Clear Statistics</source>
        <translation>Clear Statistics</translation>
    </message>
</context>
<context>
    <name>FormTrends</name>
    <message>
        <source>Trends</source>
        <translation>Trends</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 h</translation>
    </message>
</context>
<context>
    <name>FormWave</name>
    <message>
        <source>Voltage / Current Harmonics</source>
        <translation>Voltage / Current Harmonics</translation>
    </message>
    <message>
        <source>Voltage Harmonics</source>
        <translation>Voltage Harmonics</translation>
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
        <translation>The meter reports no voltage spectrum: only the headings are shown.</translation>
    </message>
    <message>
        <source>Current Harmonics</source>
        <translation>Current Harmonics</translation>
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
        <translation>Current Spectrum</translation>
    </message>
</context>
<context>
    <name>HarmonicsDecode</name>
    <message>
        <source>Odd Harmonics</source>
        <translation>Odd Harmonics</translation>
    </message>
    <message>
        <source>Even Harmonics</source>
        <translation>Even Harmonics</translation>
    </message>
    <message>
        <source>Crest Factor</source>
        <translation>Crest Factor</translation>
    </message>
    <message>
        <source>THFF(TIF)</source>
        <translation>THFF(TIF)</translation>
    </message>
    <message>
        <source>K Factor</source>
        <translation>K Factor</translation>
    </message>
    <message>
        <source>H %1th</source>
        <translation>H %1th</translation>
    </message>
    <message>
        <source>H %1st</source>
        <translation>H %1st</translation>
    </message>
    <message>
        <source>H %1nd</source>
        <translation>H %1nd</translation>
    </message>
    <message>
        <source>H %1rd</source>
        <translation>H %1rd</translation>
    </message>
</context>
<context>
    <name>LineIdentity</name>
    <message>
        <source>Waiting for %1</source>
        <translation>Waiting for %1</translation>
    </message>
    <message>
        <source>Waiting for %1 (was %2)</source>
        <translation>Waiting for %1 (was %2)</translation>
    </message>
    <message>
        <source>%1 now points at a different device (%2); waiting</source>
        <translation>%1 now points at a different device (%2); waiting</translation>
    </message>
    <message>
        <source>%1 is no USB adapter now, not the %2 that was lost</source>
        <translation>%1 is no USB adapter now, not the %2 that was lost</translation>
    </message>
    <message>
        <source>%1 is the adapter %2, not the %3 that was lost</source>
        <translation>%1 is the adapter %2, not the %3 that was lost</translation>
    </message>
    <message>
        <source>%1 is a new device node, not the one that was lost</source>
        <translation>%1 is a new device node, not the one that was lost</translation>
    </message>
    <message>
        <source>%1 now leads to %2, which is not a serial port; waiting</source>
        <translation>%1 now leads to %2, which is not a serial port; waiting</translation>
    </message>
</context>
<context>
    <name>LineNoticeBar</name>
    <message>
        <source>Search…</source>
        <translation>Search…</translation>
    </message>
</context>
<context>
    <name>LineRecovery</name>
    <message>
        <source>严重错误</source>
        <translation>Serious Error</translation>
    </message>
    <message>
        <source>端口 %1 发生通讯内部错误。</source>
        <translation>Port %1: internal communication error.</translation>
    </message>
    <message>
        <source>
The line to the meter is lost: %1 hung up (adapter unplugged, or the other end closed). The port is closed and opened again as soon as the device is back.</source>
        <translation>
The line to the meter is lost: %1 hung up (adapter unplugged, or the other end closed). The port is closed and opened again as soon as the device is back.</translation>
    </message>
</context>
<context>
    <name>LineStatusText</name>
    <message>
        <source>No answer from address %1 at %2 baud on %3: check the address, baud rate and wiring, or use Search%4</source>
        <translation>No answer from address %1 at %2 baud on %3: check the address, baud rate and wiring, or use Search%4</translation>
    </message>
    <message>
        <source>Line lost at %1</source>
        <translation>Line lost at %1</translation>
    </message>
    <message>
        <source>Line lost %1 times since %2</source>
        <translation>Line lost %1 times since %2</translation>
    </message>
</context>
<context>
    <name>MaxMinDecode</name>
    <message>
        <source>Max Value</source>
        <translation>Max Value</translation>
    </message>
    <message>
        <source>Min Value</source>
        <translation>Min Value</translation>
    </message>
    <message>
        <source>YY</source>
        <translation>YY</translation>
    </message>
    <message>
        <source>MM</source>
        <translation>MM</translation>
    </message>
    <message>
        <source>DD</source>
        <translation>DD</translation>
    </message>
    <message>
        <source>hh</source>
        <translation>hh</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>ss</source>
        <translation>ss</translation>
    </message>
</context>
<context>
    <name>MeterLine</name>
    <message>
        <source>  Cannot open the port &quot;%1&quot;.          </source>
        <translation>  Cannot open the port &quot;%1&quot;.          </translation>
    </message>
    <message>
        <source>Line lost. %1 - polling resumes when it is back</source>
        <translation>Line lost. %1 - polling resumes when it is back</translation>
    </message>
    <message>
        <source>Line lost. %1 - reopened when it is back</source>
        <translation>Line lost. %1 - reopened when it is back</translation>
    </message>
    <message>
        <source>Line back: %1</source>
        <translation>Line back: %1</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>MeterModelDecode</name>
    <message>
        <source> Hours</source>
        <translation> Hours</translation>
    </message>
</context>
<context>
    <name>MeterParamDecode</name>
    <message>
        <source>Alarm Output</source>
        <translation>Alarm Output</translation>
    </message>
    <message>
        <source>Energy Pulse</source>
        <translation>Energy Pulse</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Latch</source>
        <translation>Latch</translation>
    </message>
    <message>
        <source>Momentary</source>
        <translation>Momentary</translation>
    </message>
</context>
<context>
    <name>MeteringDecode</name>
    <message>
        <source>Capacitive</source>
        <translation>Capacitive</translation>
    </message>
    <message>
        <source>Reactive</source>
        <translation>Reactive</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <source>On</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>Control RO1 successfully!</source>
        <translation>Control RO1 successfully!</translation>
    </message>
    <message>
        <source>Control RO2 successfully!</source>
        <translation>Control RO2 successfully!</translation>
    </message>
    <message>
        <source>Are you sure to switch %1 RO%2?</source>
        <translation>Are you sure to switch %1 RO%2?</translation>
    </message>
    <message>
        <source>on</source>
        <translation>on</translation>
    </message>
    <message>
        <source>off</source>
        <translation>off</translation>
    </message>
</context>
<context>
    <name>MeteringLogControl</name>
    <message>
        <source>Log to File</source>
        <translation>Log to File</translation>
    </message>
    <message>
        <source>Stop logging to &quot;%1&quot;? %2 rows were written.</source>
        <translation>Stop logging to &quot;%1&quot;? %2 rows were written.</translation>
    </message>
    <message>
        <source>Log stopped: %1 rows</source>
        <translation>Log stopped: %1 rows</translation>
    </message>
    <message>
        <source>Logging: %1 rows</source>
        <translation>Logging: %1 rows</translation>
    </message>
    <message>
        <source>Logging stopped. %1. %2 rows were written, each of them whole.</source>
        <translation>Logging stopped. %1. %2 rows were written, each of them whole.</translation>
    </message>
</context>
<context>
    <name>NetworkModbusPort</name>
    <message>
        <source>connection refused (nothing listens on that port)</source>
        <translation>connection refused (nothing listens on that port)</translation>
    </message>
    <message>
        <source>name not found</source>
        <translation>name not found</translation>
    </message>
    <message>
        <source>no route to the host (%1)</source>
        <translation>no route to the host (%1)</translation>
    </message>
    <message>
        <source>the converter closed the connection</source>
        <translation>the converter closed the connection</translation>
    </message>
    <message>
        <source>time-out</source>
        <translation>time-out</translation>
    </message>
    <message>
        <source>no answer within %1 s (time-out)</source>
        <translation>no answer within %1 s (time-out)</translation>
    </message>
    <message>
        <source>%1: %2; connecting again in %3 s</source>
        <translation>%1: %2; connecting again in %3 s</translation>
    </message>
    <message>
        <source>connecting to %1</source>
        <translation>connecting to %1</translation>
    </message>
    <message>
        <source>Cannot connect</source>
        <translation>Cannot connect</translation>
    </message>
    <message>
        <source>Cannot connect to %1: %2; trying again.</source>
        <translation>Cannot connect to %1: %2; trying again.</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Connection lost</translation>
    </message>
    <message>
        <source>Connection to %1 lost (%2); reconnecting…</source>
        <translation>Connection to %1 lost (%2); reconnecting…</translation>
    </message>
    <message>
        <source>cannot send: %1</source>
        <translation>cannot send: %1</translation>
    </message>
    <message>
        <source>the converter sent more than %1 bytes unasked; connection closed</source>
        <translation>the converter sent more than %1 bytes unasked; connection closed</translation>
    </message>
    <message>
        <source>the converter announced a frame of %1 bytes; connection closed</source>
        <translation>the converter announced a frame of %1 bytes; connection closed</translation>
    </message>
</context>
<context>
    <name>NumberInput</name>
    <message>
        <source>%1: type %2 or %3</source>
        <translation>%1: type %2 or %3</translation>
    </message>
    <message>
        <source>Numbers are typed like %1</source>
        <translation>Numbers are typed like %1</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>%1 is not a serial device (it is no terminal).</source>
        <translation>%1 is not a serial device (it is no terminal).</translation>
    </message>
    <message>
        <source>%1 cannot be opened.</source>
        <translation>%1 cannot be opened.</translation>
    </message>
    <message>
        <source>%1: no such device. The adapter is not plugged in (or the port name is wrong).</source>
        <translation>%1: no such device. The adapter is not plugged in (or the port name is wrong).</translation>
    </message>
    <message>
        <source>%1: the device does not answer. There is no port behind it, or the adapter is going away.</source>
        <translation>%1: the device does not answer. There is no port behind it, or the adapter is going away.</translation>
    </message>
    <message>
        <source>%1: permission denied.</source>
        <translation>%1: permission denied.</translation>
    </message>
    <message>
        <source> No group may use it: ask the administrator for access to the device.</source>
        <translation> No group may use it: ask the administrator for access to the device.</translation>
    </message>
    <message>
        <source> The device belongs to group %1, which your account already has: log out and in again so that it takes effect.</source>
        <translation> The device belongs to group %1, which your account already has: log out and in again so that it takes effect.</translation>
    </message>
    <message>
        <source> The device belongs to group %1: add your user to it (sudo usermod -aG %1 $USER), then log out and in again.</source>
        <translation> The device belongs to group %1: add your user to it (sudo usermod -aG %1 $USER), then log out and in again.</translation>
    </message>
    <message>
        <source>%1 is busy: another program has it open.</source>
        <translation>%1 is busy: another program has it open.</translation>
    </message>
    <message>
        <source> Held by %1.</source>
        <translation> Held by %1.</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source> brltty (the Braille display service) takes USB serial adapters such as the CH340; remove it (sudo apt remove brltty) if nobody here uses a Braille display.</source>
        <translation> brltty (the Braille display service) takes USB serial adapters such as the CH340; remove it (sudo apt remove brltty) if nobody here uses a Braille display.</translation>
    </message>
    <message>
        <source> ModemManager probes new serial devices for a modem; wait a few seconds, or stop it (sudo systemctl stop ModemManager).</source>
        <translation> ModemManager probes new serial devices for a modem; wait a few seconds, or stop it (sudo systemctl stop ModemManager).</translation>
    </message>
    <message>
        <source>%1 is a folder, not a serial device.</source>
        <translation>%1 is a folder, not a serial device.</translation>
    </message>
    <message>
        <source>%1: not a usable device path.</source>
        <translation>%1: not a usable device path.</translation>
    </message>
</context>
<context>
    <name>OperatorDialogs</name>
    <message>
        <source>Communication Error</source>
        <translation>Communication Error</translation>
    </message>
    <message>
        <source>Please connect the meter first! </source>
        <translation>Please connect the meter first! </translation>
    </message>
</context>
<context>
    <name>PhasorDiagram</name>
    <message>
        <source>Waiting for the angles</source>
        <translation>Waiting for the angles</translation>
    </message>
</context>
<context>
    <name>PortList</name>
    <message>
        <source>%1 (not present)</source>
        <translation>%1 (not present)</translation>
    </message>
</context>
<context>
    <name>PortName</name>
    <message>
        <source>no port given</source>
        <translation>no port given</translation>
    </message>
    <message>
        <source>%1 is not a port of the program: use COM1 to COM%2</source>
        <translation>%1 is not a port of the program: use COM1 to COM%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither COM1..COM%2 nor a device path such as /dev/ttyUSB0</source>
        <translation>&quot;%1&quot; is neither COM1..COM%2 nor a device path such as /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>%1 points to %2, which does not exist: the adapter is not plugged in</source>
        <translation>%1 points to %2, which does not exist: the adapter is not plugged in</translation>
    </message>
    <message>
        <source>%1 does not exist: the adapter is not plugged in, or the name is wrong</source>
        <translation>%1 does not exist: the adapter is not plugged in, or the name is wrong</translation>
    </message>
    <message>
        <source>%1 is a folder, not a serial device</source>
        <translation>%1 is a folder, not a serial device</translation>
    </message>
    <message>
        <source>%1 is not a serial device (not a character device)</source>
        <translation>%1 is not a serial device (not a character device)</translation>
    </message>
    <message>
        <source>%1 is not a serial device (a character device, but no terminal)</source>
        <translation>%1 is not a serial device (a character device, but no terminal)</translation>
    </message>
</context>
<context>
    <name>ReplyRouting</name>
    <message>
        <source>Meter Address has modified successfully!</source>
        <translation>Meter Address has modified successfully!</translation>
    </message>
    <message>
        <source>Meter Baudrate has modified successfully!</source>
        <translation>Meter Baudrate has modified successfully!</translation>
    </message>
</context>
<context>
    <name>ReportCommand</name>
    <message>
        <source>Commissioning Report</source>
        <translation>Commissioning Report</translation>
    </message>
    <message>
        <source>Feeder / panel:</source>
        <translation>Feeder / panel:</translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation>Save as PDF…</translation>
    </message>
    <message>
        <source>Reading the meter for the report…</source>
        <translation>Reading the meter for the report…</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>commissioning-report.pdf</source>
        <translation>commissioning-report.pdf</translation>
    </message>
    <message>
        <source>Commissioning Report…</source>
        <translation>Commissioning Report…</translation>
    </message>
    <message>
        <source>
No report was made.</source>
        <translation>
No report was made.</translation>
    </message>
</context>
<context>
    <name>ReportForm</name>
    <message>
        <source>Site</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Feeder / panel</source>
        <translation>Feeder / panel</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>%1: at most %2 characters (%3 typed).</source>
        <translation>%1: at most %2 characters (%3 typed).</translation>
    </message>
    <message>
        <source>%1: a control character (U+%2) at character %3; the report cannot print it.</source>
        <translation>%1: a control character (U+%2) at character %3; the report cannot print it.</translation>
    </message>
</context>
<context>
    <name>SafeFiles</name>
    <message>
        <source>a FIFO</source>
        <translation>a FIFO</translation>
    </message>
    <message>
        <source>a character device</source>
        <translation>a character device</translation>
    </message>
    <message>
        <source>a block device</source>
        <translation>a block device</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>no file name given</source>
        <translation>no file name given</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file; a save would replace it, so nothing is written there (choose a new name or a regular file)</source>
        <translation>%1 is %2, not a regular file; a save would replace it, so nothing is written there (choose a new name or a regular file)</translation>
    </message>
    <message>
        <source>the file that was there is kept as it was</source>
        <translation>the file that was there is kept as it was</translation>
    </message>
    <message>
        <source>no file was made</source>
        <translation>no file was made</translation>
    </message>
    <message>
        <source>cannot write %1: %2; %3</source>
        <translation>cannot write %1: %2; %3</translation>
    </message>
    <message>
        <source>%1 has %2 bytes or more; a file of more than %3 bytes is not read</source>
        <translation>%1 has %2 bytes or more; a file of more than %3 bytes is not read</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 is %2, not a regular file; only a regular file is read</source>
        <translation>%1 is %2, not a regular file; only a regular file is read</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>the port must be COM1 to COM%1 or a device path such as /dev/ttyUSB0</source>
        <translation>the port must be COM1 to COM%1 or a device path such as /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>the baud rate must be one of 600, 1200, 2400, 4800, 9600, 19200, 38400</source>
        <translation>the baud rate must be one of 600, 1200, 2400, 4800, 9600, 19200, 38400</translation>
    </message>
    <message>
        <source>the meter address must be %1 to %2</source>
        <translation>the meter address must be %1 to %2</translation>
    </message>
    <message>
        <source>the query interval must be 0 to %1 ms</source>
        <translation>the query interval must be 0 to %1 ms</translation>
    </message>
    <message>
        <source>%1=%2: %3.</source>
        <translation>%1=%2: %3.</translation>
    </message>
    <message>
        <source>These saved settings in %1 were ignored, and the defaults are used instead:
%2
Check them in COMM Settings.</source>
        <translation>These saved settings in %1 were ignored, and the defaults are used instead:
%2
Check them in COMM Settings.</translation>
    </message>
    <message>
        <source>addresses must be %1 to %2; dropped from the list: %3</source>
        <translation>addresses must be %1 to %2; dropped from the list: %3</translation>
    </message>
    <message>
        <source>the line must be %1 or %2</source>
        <translation>the line must be %1 or %2</translation>
    </message>
    <message>
        <source>the TCP port must be 1 to 65535</source>
        <translation>the TCP port must be 1 to 65535</translation>
    </message>
    <message>
        <source>the framing must be %1 or %2</source>
        <translation>the framing must be %1 or %2</translation>
    </message>
    <message>
        <source>a network line needs a usable NetHost</source>
        <translation>a network line needs a usable NetHost</translation>
    </message>
    <message>
        <source>the host must not be empty</source>
        <translation>the host must not be empty</translation>
    </message>
    <message>
        <source>the host must be at most %1 characters long</source>
        <translation>the host must be at most %1 characters long</translation>
    </message>
    <message>
        <source>the host must be a name or an address, without blanks or slashes</source>
        <translation>the host must be a name or an address, without blanks or slashes</translation>
    </message>
</context>
<context>
    <name>SettingsInput</name>
    <message>
        <source>it is empty</source>
        <translation>it is empty</translation>
    </message>
    <message>
        <source>it holds &quot;%1&quot;</source>
        <translation>it holds &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 must be a whole number from %2 to %3 (%4). Nothing was sent to the meter.</source>
        <translation>%1 must be a whole number from %2 to %3 (%4). Nothing was sent to the meter.</translation>
    </message>
    <message>
        <source>%1 has no value selected: choose one from its list. Nothing was sent to the meter.</source>
        <translation>%1 has no value selected: choose one from its list. Nothing was sent to the meter.</translation>
    </message>
    <message>
        <source>%1 must be a number from %2 to %3 (%4). Nothing was sent to the meter.</source>
        <translation>%1 must be a number from %2 to %3 (%4). Nothing was sent to the meter.</translation>
    </message>
</context>
<context>
    <name>SettingsMessages</name>
    <message>
        <source>%1 is outside %2..%3.</source>
        <translation>%1 is outside %2..%3.</translation>
    </message>
    <message>
        <source>%1 is not a baud rate of the list (%2).</source>
        <translation>%1 is not a baud rate of the list (%2).</translation>
    </message>
    <message>
        <source>%1 is outside %2..%3, the items of the list %4 .. %5.</source>
        <translation>%1 is outside %2..%3, the items of the list %4 .. %5.</translation>
    </message>
    <message>
        <source>A PT secondary of 0 would make the PT ratio PT1/PT2 infinite.</source>
        <translation>A PT secondary of 0 would make the PT ratio PT1/PT2 infinite.</translation>
    </message>
    <message>
        <source>A CT primary of 0 would make the CT ratio zero and every current and power show as 0.</source>
        <translation>A CT primary of 0 would make the CT ratio zero and every current and power show as 0.</translation>
    </message>
</context>
<context>
    <name>SettingsWindows</name>
    <message>
        <source>Meter Parameters have modified successfully!</source>
        <translation>Meter Parameters have modified successfully!</translation>
    </message>
</context>
<context>
    <name>SpectrumChart</name>
    <message>
        <source>The current spectrum appears while this window is the active one.</source>
        <translation>The current spectrum appears while this window is the active one.</translation>
    </message>
    <message>
        <source>Harmonic current in % of the fundamental</source>
        <translation>Harmonic current in % of the fundamental</translation>
    </message>
</context>
<context>
    <name>TFormBus</name>
    <message>
        <source>Bus</source>
        <translation>Bus</translation>
    </message>
    <message>
        <source>Addresses:</source>
        <translation>Addresses:</translation>
    </message>
    <message>
        <source>Poll these meters</source>
        <translation>Poll these meters</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Model and firmware</source>
        <translation>Model and firmware</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Failed (last minute)</source>
        <translation>Failed (last minute)</translation>
    </message>
    <message>
        <source>Last reply</source>
        <translation>Last reply</translation>
    </message>
    <message>
        <source>U avg</source>
        <translation>U avg</translation>
    </message>
    <message>
        <source>I avg</source>
        <translation>I avg</translation>
    </message>
    <message>
        <source>P total</source>
        <translation>P total</translation>
    </message>
    <message>
        <source>PF</source>
        <translation>PF</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>The windows show meter %1.</source>
        <translation>The windows show meter %1.</translation>
    </message>
</context>
<context>
    <name>TFormCalirate</name>
    <message>
        <source>校正停止</source>
        <translation>Calibration stopped</translation>
    </message>
    <message>
        <source>角度校正</source>
        <translation>Angle Calibration</translation>
    </message>
    <message>
        <source>模值校正</source>
        <translation>Gain Calibration</translation>
    </message>
    <message>
        <source>校正次数：</source>
        <translation>Readings: </translation>
    </message>
    <message>
        <source>PT电压= 380V</source>
        <translation>PT voltage= 380V</translation>
    </message>
    <message>
        <source>PT电压= 100V</source>
        <translation>PT voltage= 100V</translation>
    </message>
    <message>
        <source>标准值= 100%</source>
        <translation>Standard= 100%</translation>
    </message>
    <message>
        <source>标准值= 10%</source>
        <translation>Standard= 10%</translation>
    </message>
    <message>
        <source>PT Voltage= 380V</source>
        <translation>PT Voltage= 380V</translation>
    </message>
    <message>
        <source>PT Voltage= 100V</source>
        <translation>PT Voltage= 100V</translation>
    </message>
    <message>
        <source>正在读取RI数据= </source>
        <translation>Reading RI data= </translation>
    </message>
    <message>
        <source>校验进行中</source>
        <translation>Calibrating</translation>
    </message>
    <message>
        <source>通讯没建立</source>
        <translation>Not Connected</translation>
    </message>
    <message>
        <source>请先与设备通讯！</source>
        <translation>Please connect to the meter first!</translation>
    </message>
    <message>
        <source>读取数据完毕！</source>
        <translation>Reading finished!</translation>
    </message>
    <message>
        <source>校验完毕！</source>
        <translation>Calibration finished!</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>计算角差超限（-5~+5）</source>
        <translation>The calculated angle difference is out of range (-5 to +5)</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>停止校正</source>
        <translation>Stop Calibration</translation>
    </message>
    <message>
        <source>您确定要停止校正程序？</source>
        <translation>Are you sure you want to stop the calibration?</translation>
    </message>
    <message>
        <source>停止读取数据！</source>
        <translation>Reading stopped!</translation>
    </message>
    <message>
        <source>停止校验！</source>
        <translation>Calibration stopped!</translation>
    </message>
</context>
<context>
    <name>TFormComm</name>
    <message>
        <source>COMM Settings</source>
        <translation>COMM Settings</translation>
    </message>
    <message>
        <source>COMM Port:</source>
        <translation>COMM Port:</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>Baudrate:</translation>
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
        <translation>Meter Address:</translation>
    </message>
    <message>
        <source>Query Interval:</source>
        <translation>Query Interval:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Meter Model:</source>
        <translation>Meter Model:</translation>
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
        <translation>COM name:</translation>
    </message>
    <message>
        <source>Assign to this device</source>
        <translation>Assign to this device</translation>
    </message>
    <message>
        <source>Save as default environment</source>
        <translation>Save as default environment</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Search...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>COM name: %1. Nothing was changed.</source>
        <translation>COM name: %1. Nothing was changed.</translation>
    </message>
    <message>
        <source>choose a device (such as a /dev/serial/by-id name) to give %1 to, not a COM name</source>
        <translation>choose a device (such as a /dev/serial/by-id name) to give %1 to, not a COM name</translation>
    </message>
    <message>
        <source>COMM Port: %1.</source>
        <translation>COMM Port: %1.</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a whole number. Nothing was changed.</source>
        <translation>%1 &quot;%2&quot; is not a whole number. Nothing was changed.</translation>
    </message>
    <message>
        <source>COMM Port: %1. Nothing was changed.</source>
        <translation>COMM Port: %1. Nothing was changed.</translation>
    </message>
    <message>
        <source>Meter Address</source>
        <translation>Meter Address</translation>
    </message>
    <message>
        <source>Query Interval</source>
        <translation>Query Interval</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>Baudrate</translation>
    </message>
    <message>
        <source>Meter Address %1 is not within 1 to 247. Nothing was changed.</source>
        <translation>Meter Address %1 is not within 1 to 247. Nothing was changed.</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>Network converter</source>
        <translation>Network converter</translation>
    </message>
    <message>
        <source>Host:</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>TCP Port:</source>
        <translation>TCP Port:</translation>
    </message>
    <message>
        <source>Framing:</source>
        <translation>Framing:</translation>
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
        <translation>Host: %1. Nothing was changed.</translation>
    </message>
    <message>
        <source>TCP Port &quot;%1&quot; must be a whole number from 1 to 65535. Nothing was changed.</source>
        <translation>TCP Port &quot;%1&quot; must be a whole number from 1 to 65535. Nothing was changed.</translation>
    </message>
</context>
<context>
    <name>TFormCount</name>
    <message>
        <source>角度校正</source>
        <translation>Angle Calibration</translation>
    </message>
    <message>
        <source>现在将进行角度校正！先输入读取次数！</source>
        <translation>Angle calibration comes next! Enter the number of readings first!</translation>
    </message>
    <message>
        <source>输入读取次数：</source>
        <translation>Number of readings:</translation>
    </message>
    <message>
        <source>0000</source>
        <translation>0000</translation>
    </message>
    <message>
        <source>确 定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取 消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>模值校正</source>
        <translation>Gain Calibration</translation>
    </message>
    <message>
        <source>现在将进行模值校正！先输入读取次数！</source>
        <translation>Gain calibration comes next! Enter the number of readings first!</translation>
    </message>
</context>
<context>
    <name>TFormHelp</name>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Cannot find the file &quot;QETRA.rtf&quot;, so no help information to show.</source>
        <translation>Cannot find the file &quot;QETRA.rtf&quot;, so no help information to show.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Copy(&amp;C)</source>
        <translation>Copy(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Select All(&amp;A)</source>
        <translation>Select All(&amp;A)</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Print(&amp;P)...</source>
        <translation>Print(&amp;P)...</translation>
    </message>
</context>
<context>
    <name>TFormLogToFile</name>
    <message>
        <source>Browse...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Every reply</source>
        <translation>Every reply</translation>
    </message>
    <message>
        <source>At most once every</source>
        <translation>At most once every</translation>
    </message>
    <message>
        <source>One file</source>
        <translation>One file</translation>
    </message>
    <message>
        <source>A new file every hour</source>
        <translation>A new file every hour</translation>
    </message>
    <message>
        <source>A new file every day</source>
        <translation>A new file every day</translation>
    </message>
    <message>
        <source>Start Logging</source>
        <translation>Start Logging</translation>
    </message>
    <message>
        <source>CSV file:</source>
        <translation>CSV file:</translation>
    </message>
    <message>
        <source>Interval:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>Files:</source>
        <translation>Files:</translation>
    </message>
    <message>
        <source>CSV file: enter the name of the file to log to.</source>
        <translation>CSV file: enter the name of the file to log to.</translation>
    </message>
    <message>
        <source>CSV file: &quot;%1&quot; is a folder; enter a file name.</source>
        <translation>CSV file: &quot;%1&quot; is a folder; enter a file name.</translation>
    </message>
    <message>
        <source>CSV file: the folder &quot;%1&quot; does not exist.</source>
        <translation>CSV file: the folder &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>Interval: enter %1 to %2 seconds.</source>
        <translation>Interval: enter %1 to %2 seconds.</translation>
    </message>
</context>
<context>
    <name>TFormMeterConfig</name>
    <message>
        <source>Meter Configuration</source>
        <translation>Meter Configuration</translation>
    </message>
    <message>
        <source>Save Meter Configuration</source>
        <translation>Save Meter Configuration</translation>
    </message>
    <message>
        <source>Compare with File</source>
        <translation>Compare with File</translation>
    </message>
    <message>
        <source>Restore from File</source>
        <translation>Restore from File</translation>
    </message>
    <message>
        <source>Clone to Meters</source>
        <translation>Clone to Meters</translation>
    </message>
    <message>
        <source>Meter configurations (*%1);;All files (*)</source>
        <translation>Meter configurations (*%1);;All files (*)</translation>
    </message>
    <message>
        <source>No file chosen.</source>
        <translation>No file chosen.</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>File...</source>
        <translation>File...</translation>
    </message>
    <message>
        <source>Compare with File...</source>
        <translation>Compare with File...</translation>
    </message>
    <message>
        <source>also address and baud rate</source>
        <translation>also address and baud rate</translation>
    </message>
    <message>
        <source>Addresses:</source>
        <translation>Addresses:</translation>
    </message>
    <message>
        <source>Save Results...</source>
        <translation>Save Results...</translation>
    </message>
    <message>
        <source>
Nothing was written to the meter.</source>
        <translation>
Nothing was written to the meter.</translation>
    </message>
    <message>
        <source>Meter configuration saved to %1.</source>
        <translation>Meter configuration saved to %1.</translation>
    </message>
    <message>
        <source>Choose the first file with &quot;File...&quot;.</source>
        <translation>Choose the first file with &quot;File...&quot;.</translation>
    </message>
    <message>
        <source>Choose the file to restore with &quot;File...&quot;.</source>
        <translation>Choose the file to restore with &quot;File...&quot;.</translation>
    </message>
    <message>
        <source>Are you sure to restore this configuration to the meter at address %1? %2 setting(s) differ.</source>
        <translation>Are you sure to restore this configuration to the meter at address %1? %2 setting(s) differ.</translation>
    </message>
    <message>
        <source>Meter configuration verified.</source>
        <translation>Meter configuration verified.</translation>
    </message>
    <message>
        <source>Choose the file to clone with &quot;File...&quot;.</source>
        <translation>Choose the file to clone with &quot;File...&quot;.</translation>
    </message>
    <message>
        <source>Addresses: %1 (for example 1-20, 25). Nothing was written to any meter.</source>
        <translation>Addresses: %1 (for example 1-20, 25). Nothing was written to any meter.</translation>
    </message>
    <message>
        <source>Differences only</source>
        <translation>Differences only</translation>
    </message>
    <message>
        <source>Open Meter Configuration</source>
        <translation>Open Meter Configuration</translation>
    </message>
    <message>
        <source>Open Second Meter Configuration</source>
        <translation>Open Second Meter Configuration</translation>
    </message>
    <message>
        <source>Save Clone Results</source>
        <translation>Save Clone Results</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>The line to the meter is lost; nothing was read or written. Try again when it is back.</source>
        <translation>The line to the meter is lost; nothing was read or written. Try again when it is back.</translation>
    </message>
    <message>
        <source>No port is chosen: choose one first (Execute → COMM Settings).</source>
        <translation>No port is chosen: choose one first (Execute → COMM Settings).</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened for this run: %2</source>
        <translation>The port %1 cannot be opened for this run: %2</translation>
    </message>
    <message>
        <source>Stop the communication first (Execute → Stop COMM): the configuration is read and written without polls in between.</source>
        <translation>Stop the communication first (Execute → Stop COMM): the configuration is read and written without polls in between.</translation>
    </message>
    <message>
        <source>%1 setting(s) differ</source>
        <translation>%1 setting(s) differ</translation>
    </message>
    <message>
        <source>Write this configuration to %1 meter(s) at address(es) %2?</source>
        <translation>Write this configuration to %1 meter(s) at address(es) %2?</translation>
    </message>
    <message>
        <source>%1 meter(s): settings and alarms; address and baud rate unchanged.</source>
        <translation>%1 meter(s): settings and alarms; address and baud rate unchanged.</translation>
    </message>
</context>
<context>
    <name>TFormSearch</name>
    <message>
        <source>Search for a meter</source>
        <translation>Search for a meter</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Trying address %1 at %2 baud (%3 of %4)</source>
        <translation>Trying address %1 at %2 baud (%3 of %4)</translation>
    </message>
    <message>
        <source>The meter is being polled: stop polling first (Stop COMM), then search.</source>
        <translation>The meter is being polled: stop polling first (Stop COMM), then search.</translation>
    </message>
    <message>
        <source>Cannot search %1: %2</source>
        <translation>Cannot search %1: %2</translation>
    </message>
    <message>
        <source>Addresses %1..%2 at %3 baud are tried on %4 with a read of the meter&apos;s model block.</source>
        <translation>Addresses %1..%2 at %3 baud are tried on %4 with a read of the meter&apos;s model block.</translation>
    </message>
    <message>
        <source>Stopping...</source>
        <translation>Stopping...</translation>
    </message>
    <message>
        <source>Stopped: </source>
        <translation>Stopped: </translation>
    </message>
    <message>
        <source>Done: </source>
        <translation>Done: </translation>
    </message>
    <message>
        <source>%1 meter(s) found in %2 tries.</source>
        <translation>%1 meter(s) found in %2 tries.</translation>
    </message>
    <message>
        <source>Ended: </source>
        <translation>Ended: </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source> The program&apos;s port did not reopen: </source>
        <translation> The program&apos;s port did not reopen: </translation>
    </message>
    <message>
        <source>Unit identifiers %1..%2 are tried on %3 with a read of the meter&apos;s model block; the converter&apos;s serial side stays at %4 baud.</source>
        <translation>Unit identifiers %1..%2 are tried on %3 with a read of the meter&apos;s model block; the converter&apos;s serial side stays at %4 baud.</translation>
    </message>
</context>
<context>
    <name>TFormSetAlarm</name>
    <message>
        <source>Group %1 </source>
        <translation>Group %1 </translation>
    </message>
    <message>
        <source>Alarm Delay</source>
        <translation>Alarm Delay</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>Limit</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>TFormSetPara</name>
    <message>
        <source>The meter is reached through a network converter: set the converter&apos;s serial side to %1 baud as well, or the meter no longer answers.</source>
        <translation>The meter is reached through a network converter: set the converter&apos;s serial side to %1 baud as well, or the meter no longer answers.</translation>
    </message>
</context>
<context>
    <name>TFormTeskLink</name>
    <message>
        <source>Advanced Intelligent Power Meter Test Program</source>
        <translation>Advanced Intelligent Power Meter Test Program</translation>
    </message>
    <message>
        <source>Execute(&amp;C)</source>
        <translation>Execute(&amp;C)</translation>
    </message>
    <message>
        <source>SYS</source>
        <translation>SYS</translation>
    </message>
    <message>
        <source>Read(&amp;M)</source>
        <translation>Read(&amp;M)</translation>
    </message>
    <message>
        <source>Setup(&amp;S)</source>
        <translation>Setup(&amp;S)</translation>
    </message>
    <message>
        <source>Window(&amp;W)</source>
        <translation>Window(&amp;W)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>Help(&amp;H)</translation>
    </message>
    <message>
        <source>ToolBar1</source>
        <translation>ToolBar1</translation>
    </message>
    <message>
        <source>Start COMM(&amp;R)</source>
        <translation>Start COMM(&amp;R)</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Stop COMM(&amp;E)</source>
        <translation>Stop COMM(&amp;E)</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>COMM Settings(&amp;S)</source>
        <translation>COMM Settings(&amp;S)</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Counter Reset(&amp;C)</source>
        <translation>Counter Reset(&amp;C)</translation>
    </message>
    <message>
        <source>Quit(&amp;Q)</source>
        <translation>Quit(&amp;Q)</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>PT</source>
        <translation>PT</translation>
    </message>
    <message>
        <source>Metering Parameters(&amp;T)</source>
        <translation>Metering Parameters(&amp;T)</translation>
    </message>
    <message>
        <source>Meter Parameters(&amp;B)</source>
        <translation>Meter Parameters(&amp;B)</translation>
    </message>
    <message>
        <source>Max / Min Parameters(&amp;N)</source>
        <translation>Max / Min Parameters(&amp;N)</translation>
    </message>
    <message>
        <source>Harmonics Parameters(&amp;H)</source>
        <translation>Harmonics Parameters(&amp;H)</translation>
    </message>
    <message>
        <source>Alarm Parameters(&amp;A)</source>
        <translation>Alarm Parameters(&amp;A)</translation>
    </message>
    <message>
        <source>Phase Angle Parameters(&amp;P)</source>
        <translation>Phase Angle Parameters(&amp;P)</translation>
    </message>
    <message>
        <source>Trends(&amp;R)</source>
        <translation>Trends(&amp;R)</translation>
    </message>
    <message>
        <source>Energy Presetting(&amp;E)</source>
        <translation>Energy Presetting(&amp;E)</translation>
    </message>
    <message>
        <source>Meter Settings(&amp;M)</source>
        <translation>Meter Settings(&amp;M)</translation>
    </message>
    <message>
        <source>Alarm Settings(&amp;A)</source>
        <translation>Alarm Settings(&amp;A)</translation>
    </message>
    <message>
        <source>Select Meter Model(&amp;T)</source>
        <translation>Select Meter Model(&amp;T)</translation>
    </message>
    <message>
        <source>Save Meter Configuration…</source>
        <translation>Save Meter Configuration…</translation>
    </message>
    <message>
        <source>Compare with File…</source>
        <translation>Compare with File…</translation>
    </message>
    <message>
        <source>Restore from File…</source>
        <translation>Restore from File…</translation>
    </message>
    <message>
        <source>Clone to Meters…</source>
        <translation>Clone to Meters…</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>Cascade(&amp;C)</source>
        <translation>Cascade(&amp;C)</translation>
    </message>
    <message>
        <source>Tile Horizontally(&amp;H)</source>
        <translation>Tile Horizontally(&amp;H)</translation>
    </message>
    <message>
        <source>Tile Vertically(&amp;T)</source>
        <translation>Tile Vertically(&amp;T)</translation>
    </message>
    <message>
        <source>Minimize All(&amp;M)</source>
        <translation>Minimize All(&amp;M)</translation>
    </message>
    <message>
        <source>About Intelligent Power Meter(&amp;M)</source>
        <translation>About Intelligent Power Meter(&amp;M)</translation>
    </message>
    <message>
        <source>About Us(&amp;A)</source>
        <translation>About Us(&amp;A)</translation>
    </message>
    <message>
        <source>Start COMM</source>
        <translation>Start COMM</translation>
    </message>
    <message>
        <source>Stop COMM</source>
        <translation>Stop COMM</translation>
    </message>
    <message>
        <source>COMM Settings</source>
        <translation>COMM Settings</translation>
    </message>
    <message>
        <source>Cascade</source>
        <translation>Cascade</translation>
    </message>
    <message>
        <source>Tile Horizontal</source>
        <translation>Tile Horizontal</translation>
    </message>
    <message>
        <source>Tile Vertical</source>
        <translation>Tile Vertical</translation>
    </message>
    <message>
        <source>Minimize All</source>
        <translation>Minimize All</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Advanced Intelligent Power Meter Test Program (Ver:2006-3-1) -- %1</source>
        <translation>Advanced Intelligent Power Meter Test Program (Ver:2006-3-1) -- %1</translation>
    </message>
    <message>
        <source>Traffic Monitor(&amp;F)</source>
        <translation>Traffic Monitor(&amp;F)</translation>
    </message>
    <message>
        <source>Log to file…(&amp;L)</source>
        <translation>Log to file…(&amp;L)</translation>
    </message>
    <message>
        <source>TxD: </source>
        <translation>TxD: </translation>
    </message>
    <message>
        <source>RxD: </source>
        <translation>RxD: </translation>
    </message>
    <message>
        <source>Reset Layout</source>
        <translation>Reset Layout</translation>
    </message>
    <message>
        <source>Search for a meter</source>
        <translation>Search for a meter</translation>
    </message>
    <message>
        <source>Bus(&amp;U)</source>
        <translation>Bus(&amp;U)</translation>
    </message>
</context>
<context>
    <name>TFormTrafficMonitor</name>
    <message>
        <source>Traffic Monitor</source>
        <translation>Traffic Monitor</translation>
    </message>
    <message>
        <source>Save Traffic</source>
        <translation>Save Traffic</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>All statuses</source>
        <translation>All statuses</translation>
    </message>
    <message>
        <source>All functions</source>
        <translation>All functions</translation>
    </message>
    <message>
        <source>Rows kept; the oldest go first</source>
        <translation>Rows kept; the oldest go first</translation>
    </message>
    <message>
        <source>Rows:</source>
        <translation>Rows:</translation>
    </message>
    <message>
        <source>Transactions %1</source>
        <translation>Transactions %1</translation>
    </message>
    <message>
        <source>rows %1 of %2</source>
        <translation>rows %1 of %2</translation>
    </message>
    <message>
        <source>   (paused)</source>
        <translation>   (paused)</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>Cannot save the traffic to &quot;%1&quot;: %2</source>
        <translation>Cannot save the traffic to &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TFormTrends</name>
    <message>
        <source>Open Log</source>
        <translation>Open Log</translation>
    </message>
    <message>
        <source>Data logs (*.csv);;All files (*)</source>
        <translation>Data logs (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Follow newest</source>
        <translation>Follow newest</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>Open Log…</source>
        <translation>Open Log…</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>Export Picture…</source>
        <translation>Export Picture…</translation>
    </message>
    <message>
        <source>Autoscale</source>
        <translation>Autoscale</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Span</source>
        <translation>Span</translation>
    </message>
    <message>
        <source>Y axis</source>
        <translation>Y axis</translation>
    </message>
    <message>
        <source>from</source>
        <translation>from</translation>
    </message>
    <message>
        <source>to</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Data log (*.csv)</source>
        <translation>Data log (*.csv)</translation>
    </message>
    <message>
        <source>PNG picture (*.png);;SVG drawing (*.svg)</source>
        <translation>PNG picture (*.png);;SVG drawing (*.svg)</translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>This file cannot be drawn: %1</source>
        <translation>This file cannot be drawn: %1</translation>
    </message>
    <message>
        <source>Log: %1 (%2 lines)</source>
        <translation>Log: %1 (%2 lines)</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 files</translation>
    </message>
    <message>
        <source>The log has no column for it.</source>
        <translation>The log has no column for it.</translation>
    </message>
    <message>
        <source>At most eight quantities at once.</source>
        <translation>At most eight quantities at once.</translation>
    </message>
    <message>
        <source>At most two units at once (a Y axis on each side).</source>
        <translation>At most two units at once (a Y axis on each side).</translation>
    </message>
    <message>
        <source>Y axis (%1) &quot;%2&quot;: please enter a number.</source>
        <translation>Y axis (%1) &quot;%2&quot;: please enter a number.</translation>
    </message>
    <message>
        <source>Y axis (%1): &quot;to&quot; must be greater than &quot;from&quot;.</source>
        <translation>Y axis (%1): &quot;to&quot; must be greater than &quot;from&quot;.</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: %2</source>
        <translation>Cannot write &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>the drawing could not be written</source>
        <translation>the drawing could not be written</translation>
    </message>
    <message>
        <source>the picture could not be written (PNG)</source>
        <translation>the picture could not be written (PNG)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>Reading %1…</translation>
    </message>
    <message>
        <source>Y axis (%1): %2 to %3 is too small a span to draw; make it at least a millionth of the values.</source>
        <translation>Y axis (%1): %2 to %3 is too small a span to draw; make it at least a millionth of the values.</translation>
    </message>
</context>
<context>
    <name>TForm_About</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>QETRA Series</source>
        <translation>QETRA Series</translation>
    </message>
    <message>
        <source>Intelligent Power Meter</source>
        <translation>Intelligent Power Meter</translation>
    </message>
    <message>
        <source>Physical Memory:</source>
        <translation>Physical Memory:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TqvModbus</name>
    <message>
        <source>端口“%1”已打开。</source>
        <translation>Port &quot;%1&quot; is already open.</translation>
    </message>
    <message>
        <source>不能创建跟踪线程。</source>
        <translation>Cannot create the watcher thread.</translation>
    </message>
</context>
<context>
    <name>TrafficCounters</name>
    <message>
        <source>Send= %1</source>
        <translation>Send= %1</translation>
    </message>
    <message>
        <source>No Response= %1</source>
        <translation>No Response= %1</translation>
    </message>
    <message>
        <source>CRC Error= %1</source>
        <translation>CRC Error= %1</translation>
    </message>
    <message>
        <source>OK=   </source>
        <translation>OK=   </translation>
    </message>
</context>
<context>
    <name>TrafficModel</name>
    <message>
        <source> … (%1 bytes)</source>
        <translation> … (%1 bytes)</translation>
    </message>
</context>
<context>
    <name>TrafficRows</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>no response</source>
        <translation>no response</translation>
    </message>
    <message>
        <source>CRC error</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>field error</source>
        <translation>field error</translation>
    </message>
    <message>
        <source>stray</source>
        <translation>stray</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Dir</source>
        <translation>Dir</translation>
    </message>
    <message>
        <source>Slave</source>
        <translation>Slave</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Count / exception</source>
        <translation>Count / exception</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Latency ms</source>
        <translation>Latency ms</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Read Coils</source>
        <translation>Read Coils</translation>
    </message>
    <message>
        <source>Read Discrete Inputs</source>
        <translation>Read Discrete Inputs</translation>
    </message>
    <message>
        <source>Read Holding Registers</source>
        <translation>Read Holding Registers</translation>
    </message>
    <message>
        <source>Read Input Registers</source>
        <translation>Read Input Registers</translation>
    </message>
    <message>
        <source>Write Single Coil</source>
        <translation>Write Single Coil</translation>
    </message>
    <message>
        <source>Write Single Register</source>
        <translation>Write Single Register</translation>
    </message>
    <message>
        <source>Write Multiple Registers</source>
        <translation>Write Multiple Registers</translation>
    </message>
    <message>
        <source>Long Read Registers</source>
        <translation>Long Read Registers</translation>
    </message>
    <message>
        <source>Write Coil (85)</source>
        <translation>Write Coil (85)</translation>
    </message>
    <message>
        <source>Counted Request</source>
        <translation>Counted Request</translation>
    </message>
    <message>
        <source>Write Meter Registers</source>
        <translation>Write Meter Registers</translation>
    </message>
    <message>
        <source>Long Read with Status</source>
        <translation>Long Read with Status</translation>
    </message>
    <message>
        <source>Status Request</source>
        <translation>Status Request</translation>
    </message>
    <message>
        <source>Write Coil, No Reply</source>
        <translation>Write Coil, No Reply</translation>
    </message>
    <message>
        <source>Illegal Function</source>
        <translation>Illegal Function</translation>
    </message>
    <message>
        <source>Illegal Data Address</source>
        <translation>Illegal Data Address</translation>
    </message>
    <message>
        <source>Illegal Data Value</source>
        <translation>Illegal Data Value</translation>
    </message>
    <message>
        <source>Slave Device Failure</source>
        <translation>Slave Device Failure</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>Slave Device Busy</source>
        <translation>Slave Device Busy</translation>
    </message>
    <message>
        <source>Memory Parity Error</source>
        <translation>Memory Parity Error</translation>
    </message>
    <message>
        <source>Gateway Path Unavailable</source>
        <translation>Gateway Path Unavailable</translation>
    </message>
    <message>
        <source>Gateway Target Failed to Respond</source>
        <translation>Gateway Target Failed to Respond</translation>
    </message>
    <message>
        <source>Function %1</source>
        <translation>Function %1</translation>
    </message>
    <message>
        <source>Exception %1</source>
        <translation>Exception %1</translation>
    </message>
    <message>
        <source>(nothing written)</source>
        <translation>(nothing written)</translation>
    </message>
    <message>
        <source>%1 (exception)</source>
        <translation>%1 (exception)</translation>
    </message>
</context>
<context>
    <name>TrendChart</name>
    <message>
        <source>Choose up to eight quantities on the left.</source>
        <translation>Choose up to eight quantities on the left.</translation>
    </message>
    <message>
        <source>No values yet: every reply of the metering block is recorded from start-up.</source>
        <translation>No values yet: every reply of the metering block is recorded from start-up.</translation>
    </message>
</context>
<context>
    <name>TrendLogReader</name>
    <message>
        <source>cannot be read: %1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>this is not a data log of the meter: the first line must name the columns, beginning with &quot;Time&quot;</source>
        <translation>this is not a data log of the meter: the first line must name the columns, beginning with &quot;Time&quot;</translation>
    </message>
    <message>
        <source>column %1, &quot;%2&quot;, is not a column of the data log</source>
        <translation>column %1, &quot;%2&quot;, is not a column of the data log</translation>
    </message>
    <message>
        <source>column &quot;%1&quot; appears twice</source>
        <translation>column &quot;%1&quot; appears twice</translation>
    </message>
    <message>
        <source>none of its columns can be drawn</source>
        <translation>none of its columns can be drawn</translation>
    </message>
    <message>
        <source>%1 fields where the header has %2 (a cut or joined line)</source>
        <translation>%1 fields where the header has %2 (a cut or joined line)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a time</source>
        <translation>&quot;%1&quot; is not a time</translation>
    </message>
    <message>
        <source>its time %1 is before the line above</source>
        <translation>its time %1 is before the line above</translation>
    </message>
    <message>
        <source>&quot;%1&quot; in column &quot;%2&quot; is not a number</source>
        <translation>&quot;%1&quot; in column &quot;%2&quot; is not a number</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1, line %2: %3</translation>
    </message>
    <message>
        <source>no file was chosen</source>
        <translation>no file was chosen</translation>
    </message>
    <message>
        <source>holds no values, only its header</source>
        <translation>holds no values, only its header</translation>
    </message>
    <message>
        <source>its times overlap those of %1: the files are not one log</source>
        <translation>its times overlap those of %1: the files are not one log</translation>
    </message>
    <message>
        <source>type %1 or %2</source>
        <translation>type %1 or %2</translation>
    </message>
    <message>
        <source>line too long</source>
        <translation>line too long</translation>
    </message>
    <message>
        <source>unclosed quote</source>
        <translation>unclosed quote</translation>
    </message>
    <message>
        <source>&quot;%1&quot; in column &quot;%2&quot; may be meant two ways: %3</source>
        <translation>&quot;%1&quot; in column &quot;%2&quot; may be meant two ways: %3</translation>
    </message>
    <message>
        <source>%1: the hour of %2 came twice (the clock was set back); its times from line %3 on are taken as the second one</source>
        <translation>%1: the hour of %2 came twice (the clock was set back); its times from line %3 on are taken as the second one</translation>
    </message>
    <message>
        <source>the reading was cancelled</source>
        <translation>the reading was cancelled</translation>
    </message>
</context>
<context>
    <name>ValueCopy</name>
    <message>
        <source>Quantity</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
</context>
<context>
    <name>ValueFreshness</name>
    <message>
        <source>not read yet</source>
        <translation>not read yet</translation>
    </message>
    <message>
        <source>last read %1</source>
        <translation>last read %1</translation>
    </message>
</context>
<context>
    <name>ViewWindows</name>
    <message>
        <source>Energy Parameters have modified successfully!</source>
        <translation>Energy Parameters have modified successfully!</translation>
    </message>
    <message>
        <source>Meter Clock has adjusted successfully!</source>
        <translation>Meter Clock has adjusted successfully!</translation>
    </message>
    <message>
        <source>Meter Coefficients have modified successfully!</source>
        <translation>Meter Coefficients have modified successfully!</translation>
    </message>
    <message>
        <source>Meter PT Type has modified successfully!</source>
        <translation>Meter PT Type has modified successfully!</translation>
    </message>
</context>
<context>
    <name>WindowKit</name>
    <message>
        <source>Copy Values</source>
        <translation>Copy Values</translation>
    </message>
</context>
<context>
    <name>WiringCheck</name>
    <message>
        <source>No voltage on V%1: check the fuse and the voltage lead of phase %1.</source>
        <translation>No voltage on V%1: check the fuse and the voltage lead of phase %1.</translation>
    </message>
    <message>
        <source>V2 is %1 and V3 %2 behind V1 (should be 120° and 240°)</source>
        <translation>V2 is %1 and V3 %2 behind V1 (should be 120° and 240°)</translation>
    </message>
    <message>
        <source>Phase sequence reversed: %1. Exchange two phases at the meter, voltage and current leads together.</source>
        <translation>Phase sequence reversed: %1. Exchange two phases at the meter, voltage and current leads together.</translation>
    </message>
    <message>
        <source>Voltage angles irregular: %1. Check which phase each voltage lead is on.</source>
        <translation>Voltage angles irregular: %1. Check which phase each voltage lead is on.</translation>
    </message>
    <message>
        <source>I%1 follows V%2 (%3 apart) rather than V%1 (%4): CT%1 is on phase %2. Move it to phase %1.</source>
        <translation>I%1 follows V%2 (%3 apart) rather than V%1 (%4): CT%1 is on phase %2. Move it to phase %1.</translation>
    </message>
    <message>
        <source>I%1 is %2 from V%1: CT%1 is reversed. Swap its S1 and S2 leads.</source>
        <translation>I%1 is %2 from V%1: CT%1 is reversed. Swap its S1 and S2 leads.</translation>
    </message>
    <message>
        <source>No voltage on any phase: check the voltage leads and their fuses.</source>
        <translation>No voltage on any phase: check the voltage leads and their fuses.</translation>
    </message>
    <message>
        <source>No current flows: the CTs can be checked only under load.</source>
        <translation>No current flows: the CTs can be checked only under load.</translation>
    </message>
    <message>
        <source>Every current is opposite its voltage (%1): either power flows towards the supply (the feeder exports, e.g. solar or a generator), or all CTs are reversed. Check the direction of power before rewiring; swap S1 and S2 of every CT only if power should flow to the load.</source>
        <translation>Every current is opposite its voltage (%1): either power flows towards the supply (the feeder exports, e.g. solar or a generator), or all CTs are reversed. Check the direction of power before rewiring; swap S1 and S2 of every CT only if power should flow to the load.</translation>
    </message>
    <message>
        <source>Wiring looks right: sequence V1-V2-V3, each current near its own voltage.</source>
        <translation>Wiring looks right: sequence V1-V2-V3, each current near its own voltage.</translation>
    </message>
</context>
<context>
    <name>WriteCommand</name>
    <message>
        <source>Prompt</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>Are you sure to set these Alarm Parameters? The action will cause refreshing all alarm records.</source>
        <translation>Are you sure to set these Alarm Parameters? The action will cause refreshing all alarm records.</translation>
    </message>
    <message>
        <source>Are you sure to set these Meter Parameters?</source>
        <translation>Are you sure to set these Meter Parameters?</translation>
    </message>
    <message>
        <source>Are you sure to preset these Energy Parameters?</source>
        <translation>Are you sure to preset these Energy Parameters?</translation>
    </message>
    <message>
        <source>Are you sure to clear these Max/Min Statistics?</source>
        <translation>Are you sure to clear these Max/Min Statistics?</translation>
    </message>
    <message>
        <source>Are you sure to reset all Energy Parameters?</source>
        <translation>Are you sure to reset all Energy Parameters?</translation>
    </message>
    <message>
        <source>Are you sure to adjust the Meter Clock?</source>
        <translation>Are you sure to adjust the Meter Clock?</translation>
    </message>
    <message>
        <source>Are you sure to reset the Meter Runtime?</source>
        <translation>Are you sure to reset the Meter Runtime?</translation>
    </message>
</context>
</TS>
