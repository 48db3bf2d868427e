// The 64 segment rows as stored decimal text: row number, lower and upper
// bound of t, then c0..c3 of la = c0 + c1*t + c2*t^2 + c3*t^3.
#include "calc/segment_table.h"

namespace calc {

namespace {

constexpr TextItem kRow1[] = {
    Item("1"),
    Item("3.653"),
    Item("3.654"),
    Item("-19797743883.15425"),
    Item("16258765769.8336"),
    Item("-4450799523.248351"),
    Item("406131889.9069374"),
};
constexpr TextItem kRow2[] = {
    Item("2"),
    Item("3.654"),
    Item("3.656"),
    Item("9145721663.039722"),
    Item("-7504341946.673709"),
    Item("2052513949.990106"),
    Item("-187127861.5217516"),
};
constexpr TextItem kRow3[] = {
    Item("3"),
    Item("3.656"),
    Item("3.66"),
    Item("220851595.1009677"),
    Item("-180870681.8645885"),
    Item("49376240.11448681"),
    Item("-4493127.270933806"),
};
constexpr TextItem kRow4[] = {
    Item("4"),
    Item("3.66"),
    Item("3.666"),
    Item("99075511.96662487"),
    Item("-81054222.61985816"),
    Item("22103984.12980543"),
    Item("-2009315.308718915"),
};
constexpr TextItem kRow5[] = {
    Item("5"),
    Item("3.666"),
    Item("3.673"),
    Item("25404695.48823779"),
    Item("-20767136.93941799"),
    Item("5659061.189358121"),
    Item("-514050.4026729223"),
};
constexpr TextItem kRow6[] = {
    Item("6"),
    Item("3.673"),
    Item("3.68"),
    Item("-49045339.79183608"),
    Item("40041493.58741986"),
    Item("-10896514.33920106"),
    Item("988406.7250252011"),
};
constexpr TextItem kRow7[] = {
    Item("7"),
    Item("3.68"),
    Item("3.689"),
    Item("25304513.35156073"),
    Item("-20569798.63647964"),
    Item("5573945.205466794"),
    Item("-503482.6994208826"),
};
constexpr TextItem kRow8[] = {
    Item("8"),
    Item("3.689"),
    Item("3.7"),
    Item("-9182159.087809797"),
    Item("7475747.68154469"),
    Item("-2028534.367468239"),
    Item("183467.675295702"),
};
constexpr TextItem kRow9[] = {
    Item("9"),
    Item("3.7"),
    Item("3.717"),
    Item("7152001.950115359"),
    Item("-5768166.502848942"),
    Item("1550901.852454143"),
    Item("-139004.0520729854"),
};
constexpr TextItem kRow10[] = {
    Item("10"),
    Item("3.717"),
    Item("3.74"),
    Item("-165919.3426671611"),
    Item("138146.0700017349"),
    Item("-38098.02936656486"),
    Item("3494.367670461575"),
};
constexpr TextItem kRow11[] = {
    Item("11"),
    Item("3.74"),
    Item("3.77"),
    Item("376808.8990223925"),
    Item("-297197.4382648192"),
    Item("78303.97789452018"),
    Item("-6880.142754161235"),
};
constexpr TextItem kRow12[] = {
    Item("12"),
    Item("3.77"),
    Item("3.808843"),
    Item("77471.63007146733"),
    Item("-58998.01879636979"),
    Item("15121.10768932999"),
    Item("-1293.682053467155"),
};
constexpr TextItem kRow13[] = {
    Item("13"),
    Item("3.808843"),
    Item("3.858858"),
    Item("78972.31901779637"),
    Item("-60180.02261229538"),
    Item("15431.43915948008"),
    Item("-1320.840911464046"),
};
constexpr TextItem kRow14[] = {
    Item("14"),
    Item("3.858858"),
    Item("3.919876"),
    Item("16837.54750783838"),
    Item("-11874.45933743352"),
    Item("2913.341339764631"),
    Item("-239.5108506294681"),
};
constexpr TextItem kRow15[] = {
    Item("15"),
    Item("3.919876"),
    Item("3.992898"),
    Item("6862.927513019747"),
    Item("-4240.580298535955"),
    Item("965.8616626492924"),
    Item("-73.90360283962195"),
};
constexpr TextItem kRow16[] = {
    Item("16"),
    Item("3.992898"),
    Item("4.08285"),
    Item("7203.058067193781"),
    Item("-4496.131946933793"),
    Item("1029.86320969769"),
    Item("-79.24655151590588"),
};
constexpr TextItem kRow17[] = {
    Item("17"),
    Item("4.08285"),
    Item("4.196918"),
    Item("6878.594644084643"),
    Item("-4257.722435392625"),
    Item("971.4702947622828"),
    Item("-74.47921862915447"),
};
constexpr TextItem kRow18[] = {
    Item("18"),
    Item("4.196918"),
    Item("4.340004"),
    Item("4084.600135907613"),
    Item("-2260.546530815857"),
    Item("495.6030275248876"),
    Item("-36.68424097945587"),
};
constexpr TextItem kRow19[] = {
    Item("19"),
    Item("4.340004"),
    Item("4.514217"),
    Item("1653.01441526964"),
    Item("-579.7284447411669"),
    Item("108.3181082610675"),
    Item("-6.938882666179026"),
};
constexpr TextItem kRow20[] = {
    Item("20"),
    Item("4.514217"),
    Item("4.725588"),
    Item("2450.33201092898"),
    Item("-1109.599481094104"),
    Item("225.696392934979"),
    Item("-15.60618770693033"),
};
constexpr TextItem kRow21[] = {
    Item("21"),
    Item("4.725588"),
    Item("4.966139"),
    Item("510.4521238717127"),
    Item("121.9170734919843"),
    Item("-34.90960890425582"),
    Item("2.77642841022439"),
};
constexpr TextItem kRow22[] = {
    Item("22"),
    Item("4.966139"),
    Item("5.243639"),
    Item("1511.576095867887"),
    Item("-482.8529526840392"),
    Item("86.86911007532005"),
    Item("-5.397508653685861"),
};
constexpr TextItem kRow23[] = {
    Item("23"),
    Item("5.243639"),
    Item("5.546913"),
    Item("770.1640270399769"),
    Item("-58.67497063140731"),
    Item("5.975291359969881"),
    Item("-0.2551626077439293"),
};
constexpr TextItem kRow24[] = {
    Item("24"),
    Item("5.546913"),
    Item("5.87015"),
    Item("871.3834293273366"),
    Item("-113.4186089284353"),
    Item("15.8444991240946"),
    Item("-0.8482376810701356"),
};
constexpr TextItem kRow25[] = {
    Item("25"),
    Item("5.87015"),
    Item("6.207623"),
    Item("762.2061820393437"),
    Item("-57.62246457824781"),
    Item("6.339436476338"),
    Item("-0.308497782134066"),
};
constexpr TextItem kRow26[] = {
    Item("26"),
    Item("6.207623"),
    Item("6.554998"),
    Item("727.703548007605"),
    Item("-40.94814304109168"),
    Item("3.653332387227173"),
    Item("-0.164260925450771"),
};
constexpr TextItem kRow27[] = {
    Item("27"),
    Item("6.554998"),
    Item("6.909137"),
    Item("775.1940568558825"),
    Item("-62.68293661303039"),
    Item("6.969091420855691"),
    Item("-0.3328731850626828"),
};
constexpr TextItem kRow28[] = {
    Item("28"),
    Item("6.909137"),
    Item("7.266116"),
    Item("610.5908712311772"),
    Item("8.789024794762936"),
    Item("-3.375465904428365"),
    Item("0.1662030221114294"),
};
constexpr TextItem kRow29[] = {
    Item("29"),
    Item("7.266116"),
    Item("7.626543"),
    Item("740.4826720544554"),
    Item("-44.84009356428674"),
    Item("4.005247162769276"),
    Item("-0.1723874491793697"),
};
constexpr TextItem kRow30[] = {
    Item("30"),
    Item("7.626543"),
    Item("7.989915"),
    Item("510.0767990671789"),
    Item("45.79305631024116"),
    Item("-7.878662668884425"),
    Item("0.347022623486794"),
};
constexpr TextItem kRow31[] = {
    Item("31"),
    Item("7.989915"),
    Item("8.362672"),
    Item("434.4378027151897"),
    Item("74.19348258813372"),
    Item("-11.43319693543213"),
    Item("0.4953151611695463"),
};
constexpr TextItem kRow32[] = {
    Item("32"),
    Item("8.362672"),
    Item("8.756646"),
    Item("612.4782454528099"),
    Item("10.3237842661504"),
    Item("-3.795721801709842"),
    Item("0.1908879291083956"),
};
constexpr TextItem kRow33[] = {
    Item("33"),
    Item("8.756646"),
    Item("9.187329999999999"),
    Item("356.2006545668198"),
    Item("98.1236974718334"),
    Item("-13.82238173959078"),
    Item("0.5725660190566646"),
};
constexpr TextItem kRow34[] = {
    Item("34"),
    Item("9.187329999999999"),
    Item("9.692448000000001"),
    Item("848.7805020042135"),
    Item("-62.7216735921842"),
    Item("3.684920899774185"),
    Item("-0.06263130053612652"),
};
constexpr TextItem kRow35[] = {
    Item("35"),
    Item("9.692448000000001"),
    Item("10.33512"),
    Item("872.259587687524"),
    Item("-69.98890471314648"),
    Item("4.434703758977951"),
    Item("-0.08841711114259836"),
};
constexpr TextItem kRow36[] = {
    Item("36"),
    Item("10.33512"),
    Item("11.22648"),
    Item("1418.648305843159"),
    Item("-228.5904616281692"),
    Item("19.78058787341485"),
    Item("-0.5833600441006974"),
};
constexpr TextItem kRow37[] = {
    Item("37"),
    Item("11.22648"),
    Item("12.24759"),
    Item("601.0287253725568"),
    Item("-10.10177740597915"),
    Item("0.3186823284197847"),
    Item("-0.005502860038436999"),
};
constexpr TextItem kRow38[] = {
    Item("38"),
    Item("12.24759"),
    Item("13.3166"),
    Item("638.8525157377553"),
    Item("-19.3665691644347"),
    Item("1.075140677309967"),
    Item("-0.02609081094348258"),
};
constexpr TextItem kRow39[] = {
    Item("39"),
    Item("13.3166"),
    Item("14.41394"),
    Item("538.3248117718395"),
    Item("3.280586639435314"),
    Item("-0.6255303698016708"),
    Item("0.01647939133021094"),
};
constexpr TextItem kRow40[] = {
    Item("40"),
    Item("14.41394"),
    Item("15.56428"),
    Item("510.5775611041242"),
    Item("9.055673055202432"),
    Item("-1.026190164667517"),
    Item("0.02574495376310476"),
};
constexpr TextItem kRow41[] = {
    Item("41"),
    Item("15.56428"),
    Item("16.8128"),
    Item("719.2115974629533"),
    Item("-31.15833796150714"),
    Item("1.557547223967226"),
    Item("-0.02958981410055698"),
};
constexpr TextItem kRow42[] = {
    Item("42"),
    Item("16.8128"),
    Item("18.11044"),
    Item("748.6257655820094"),
    Item("-36.40686930127774"),
    Item("1.869721966443235"),
    Item("-0.03577904200268864"),
};
constexpr TextItem kRow43[] = {
    Item("43"),
    Item("18.11044"),
    Item("19.33732"),
    Item("911.5891983715022"),
    Item("-63.40181352731705"),
    Item("3.360295650386876"),
    Item("-0.06321393115157555"),
};
constexpr TextItem kRow44[] = {
    Item("44"),
    Item("19.33732"),
    Item("20.42983"),
    Item("-244.3329425826185"),
    Item("115.9284330465066"),
    Item("-5.913494281943847"),
    Item("0.09664603177924423"),
};
constexpr TextItem kRow45[] = {
    Item("45"),
    Item("20.42983"),
    Item("21.30828"),
    Item("11843.70194136852"),
    Item("-1659.128122679305"),
    Item("80.9720308467075"),
    Item("-1.320979123605306"),
};
constexpr TextItem kRow46[] = {
    Item("46"),
    Item("21.30828"),
    Item("21.80208"),
    Item("26422.52542545592"),
    Item("-3711.685556368969"),
    Item("177.2987800107798"),
    Item("-2.827854148914344"),
};
constexpr TextItem kRow47[] = {
    Item("47"),
    Item("21.80208"),
    Item("22.08599"),
    Item("282209.8978309676"),
    Item("-38908.42420614907"),
    Item("1791.674032302762"),
    Item("-27.51013585258277"),
};
constexpr TextItem kRow48[] = {
    Item("48"),
    Item("22.08599"),
    Item("22.2548"),
    Item("42357.97500373062"),
    Item("-6328.687505545224"),
    Item("316.5427221606139"),
    Item("-5.246682117945334"),
};
constexpr TextItem kRow49[] = {
    Item("49"),
    Item("22.2548"),
    Item("22.37676"),
    Item("1254960.326362026"),
    Item("-169790.3642618526"),
    Item("7661.550132065194"),
    Item("-115.2605090530131"),
};
constexpr TextItem kRow50[] = {
    Item("50"),
    Item("22.37676"),
    Item("22.46689"),
    Item("88859.68662713979"),
    Item("-13453.97580671973"),
    Item("674.9986794818396"),
    Item("-11.18599451433479"),
};
constexpr TextItem kRow51[] = {
    Item("51"),
    Item("22.46689"),
    Item("22.53662"),
    Item("8595774.695340682"),
    Item("-1149380.872921133"),
    Item("51235.03970752814"),
    Item("-761.3275031071615"),
};
constexpr TextItem kRow52[] = {
    Item("52"),
    Item("22.53662"),
    Item("22.58689"),
    Item("12898177.78104568"),
    Item("-1722102.502121988"),
    Item("76647.97429473701"),
    Item("-1137.203677154052"),
};
constexpr TextItem kRow53[] = {
    Item("53"),
    Item("22.58689"),
    Item("22.62492"),
    Item("-10509809.37177206"),
    Item("1386956.059614193"),
    Item("-61000.84157310488"),
    Item("894.1933018764129"),
};
constexpr TextItem kRow54[] = {
    Item("54"),
    Item("22.62492"),
    Item("22.65424"),
    Item("229472258.4668639"),
    Item("-30433983.28395107"),
    Item("1345454.496008915"),
    Item("-19827.13734202827"),
};
constexpr TextItem kRow55[] = {
    Item("55"),
    Item("22.65424"),
    Item("22.67413"),
    Item("-91155752.01732728"),
    Item("12025355.28227465"),
    Item("-528779.1668151998"),
    Item("7750.241718207612"),
};
constexpr TextItem kRow56[] = {
    Item("56"),
    Item("22.67413"),
    Item("22.68884"),
    Item("1638405527.965822"),
    Item("-216811824.2501943"),
    Item("9563655.899894439"),
    Item("-140619.071613149"),
};
constexpr TextItem kRow57[] = {
    Item("57"),
    Item("22.68884"),
    Item("22.69744"),
    Item("14271673210.8184"),
    Item("-1887227835.021526"),
    Item("83186456.66923496"),
    Item("-1222249.18813706"),
};
constexpr TextItem kRow58[] = {
    Item("58"),
    Item("22.69744"),
    Item("22.70252"),
    Item("-20420682699.41426"),
    Item("2698182300.561907"),
    Item("-118836780.2451307"),
    Item("1744652.866173578"),
};
constexpr TextItem kRow59[] = {
    Item("59"),
    Item("22.70252"),
    Item("22.70658"),
    Item("61411646793.14213"),
    Item("-8115462372.866122"),
    Item("357482346.3082079"),
    Item("-5248977.77894521"),
};
constexpr TextItem kRow60[] = {
    Item("60"),
    Item("22.70658"),
    Item("22.70962"),
    Item("-56956269123.35516"),
    Item("7523341891.341679"),
    Item("-331252144.2856163"),
    Item("4861667.308739684"),
};
constexpr TextItem kRow61[] = {
    Item("61"),
    Item("22.70962"),
    Item("22.71217"),
    Item("163172917127.8873"),
    Item("-21556298043.23409"),
    Item("949246628.7688376"),
    Item("-13933580.40275142"),
};
constexpr TextItem kRow62[] = {
    Item("62"),
    Item("22.71217"),
    Item("22.7142"),
    Item("-120689555591.6327"),
    Item("15938464957.6629"),
    Item("-701620002.7901466"),
    Item("10295231.09935717"),
};
constexpr TextItem kRow63[] = {
    Item("63"),
    Item("22.7142"),
    Item("22.71574"),
    Item("2299549475573.962"),
    Item("-303716966094.4164"),
    Item("13371314293.54952"),
    Item("-196226605.0928841"),
};
constexpr TextItem kRow64[] = {
    Item("64"),
    Item("22.71574"),
    Item("22.71675"),
    Item("-3808775632701.562"),
    Item("502991297003.0265"),
    Item("-22141869774.31781"),
    Item("324897862.6280598"),
};

}  // namespace

// Each block ends in a link to the next; the link after row 64 leads nowhere.
const DataBlock kSegmentBlocks[kSegmentRows] = {
    {kRow1, 7, &kSegmentBlocks[1]},   {kRow2, 7, &kSegmentBlocks[2]},
    {kRow3, 7, &kSegmentBlocks[3]},   {kRow4, 7, &kSegmentBlocks[4]},
    {kRow5, 7, &kSegmentBlocks[5]},   {kRow6, 7, &kSegmentBlocks[6]},
    {kRow7, 7, &kSegmentBlocks[7]},   {kRow8, 7, &kSegmentBlocks[8]},
    {kRow9, 7, &kSegmentBlocks[9]},   {kRow10, 7, &kSegmentBlocks[10]},
    {kRow11, 7, &kSegmentBlocks[11]}, {kRow12, 7, &kSegmentBlocks[12]},
    {kRow13, 7, &kSegmentBlocks[13]}, {kRow14, 7, &kSegmentBlocks[14]},
    {kRow15, 7, &kSegmentBlocks[15]}, {kRow16, 7, &kSegmentBlocks[16]},
    {kRow17, 7, &kSegmentBlocks[17]}, {kRow18, 7, &kSegmentBlocks[18]},
    {kRow19, 7, &kSegmentBlocks[19]}, {kRow20, 7, &kSegmentBlocks[20]},
    {kRow21, 7, &kSegmentBlocks[21]}, {kRow22, 7, &kSegmentBlocks[22]},
    {kRow23, 7, &kSegmentBlocks[23]}, {kRow24, 7, &kSegmentBlocks[24]},
    {kRow25, 7, &kSegmentBlocks[25]}, {kRow26, 7, &kSegmentBlocks[26]},
    {kRow27, 7, &kSegmentBlocks[27]}, {kRow28, 7, &kSegmentBlocks[28]},
    {kRow29, 7, &kSegmentBlocks[29]}, {kRow30, 7, &kSegmentBlocks[30]},
    {kRow31, 7, &kSegmentBlocks[31]}, {kRow32, 7, &kSegmentBlocks[32]},
    {kRow33, 7, &kSegmentBlocks[33]}, {kRow34, 7, &kSegmentBlocks[34]},
    {kRow35, 7, &kSegmentBlocks[35]}, {kRow36, 7, &kSegmentBlocks[36]},
    {kRow37, 7, &kSegmentBlocks[37]}, {kRow38, 7, &kSegmentBlocks[38]},
    {kRow39, 7, &kSegmentBlocks[39]}, {kRow40, 7, &kSegmentBlocks[40]},
    {kRow41, 7, &kSegmentBlocks[41]}, {kRow42, 7, &kSegmentBlocks[42]},
    {kRow43, 7, &kSegmentBlocks[43]}, {kRow44, 7, &kSegmentBlocks[44]},
    {kRow45, 7, &kSegmentBlocks[45]}, {kRow46, 7, &kSegmentBlocks[46]},
    {kRow47, 7, &kSegmentBlocks[47]}, {kRow48, 7, &kSegmentBlocks[48]},
    {kRow49, 7, &kSegmentBlocks[49]}, {kRow50, 7, &kSegmentBlocks[50]},
    {kRow51, 7, &kSegmentBlocks[51]}, {kRow52, 7, &kSegmentBlocks[52]},
    {kRow53, 7, &kSegmentBlocks[53]}, {kRow54, 7, &kSegmentBlocks[54]},
    {kRow55, 7, &kSegmentBlocks[55]}, {kRow56, 7, &kSegmentBlocks[56]},
    {kRow57, 7, &kSegmentBlocks[57]}, {kRow58, 7, &kSegmentBlocks[58]},
    {kRow59, 7, &kSegmentBlocks[59]}, {kRow60, 7, &kSegmentBlocks[60]},
    {kRow61, 7, &kSegmentBlocks[61]}, {kRow62, 7, &kSegmentBlocks[62]},
    {kRow63, 7, &kSegmentBlocks[63]}, {kRow64, 7, nullptr},
};

}  // namespace calc
