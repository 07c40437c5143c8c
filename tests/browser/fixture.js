'use strict';
// The two input files of the browser test, and a hand-built report of them for
// when no command-line program is at hand. The pages follow the layout of the
// generated report closely enough for the top page's scripts to run unchanged.

const fs = require('node:fs');
const path = require('node:path');

const ROWS = 300;

// Mixed letter case, a phrase plus its loose words, "<", doubled syllables (for
// adjacent hits) and long rows (for sideways scrolling).
function inputLine(i, second) {
  switch (i % 6) {
    case 0: return `Tandem ${i} rides along the river`;
    case 1: return `the TANDEM needs two riders, tandem or not`;
    case 2: return `a tandem has alpha beta gear`;
    case 3: return `alpha only here and beta there`;
    case 4: return second && i % 20 === 4 ? `if (a<c) return lalala;` : `if (a<b) return lalala;`;
    default: return `wide row ${i} ` + 'with plenty of words '.repeat(second && i % 7 === 0 ? 12 : 14);
  }
}

function writeInputs(dir) {
  const files = [path.join(dir, 'eins.txt'), path.join(dir, 'zwei.txt')];
  files.forEach((file, side) => {
    const lines = [];
    for (let i = 1; i <= ROWS; i++) lines.push(inputLine(i, side === 1));
    fs.writeFileSync(file, lines.join('\n') + '\n');
  });
  return files;
}

const escapeHtml = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const crlf = (s) => s.replace(/\r?\n/g, '\r\n');

function sidePage(lines, other) {
  const rows = lines.map((line, i) => {
    const cls = line === other[i] ? '' : " class='C'";
    return `<p width="50%"${cls}><strong>${i + 1}</strong> ${escapeHtml(line)}</p>`;
  });
  return crlf(`<HTML>
<HEAD>
<style type='text/css'>
.C { background:#FFEEBB; }
.hervorhebung {background:#EF712C; color:#fff;}
.hervorhebungexakt {background:#fc0600; color:#fff;}
p {margin:0; padding:1px 2px;}
#maintable {font-family: Tahoma, Arial, sans-serif; font-size: 8pt;}
</style>
<script type='text/javascript'>
function set_wrap()
{
for (var i=0;i<document.getElementsByTagName("p").length;i++)
{
document.getElementsByTagName("p")[i].style.whiteSpace = "nowrap";
}
}
</script>
</HEAD>
<BODY onload="set_wrap();">
<table border="0" width="100%"><tr><td><div id="maintable">
${rows.join('')}</div></td></tr></table>
</BODY>
</HTML>
`);
}

function topPage(scriptsDir, name1, name2) {
  const script = (file) => '<script type="text/javascript">\r\n' +
    crlf(fs.readFileSync(path.join(scriptsDir, file), 'utf8')) + '</script>\r\n';
  const sizes = [6, 7, 8, 9, 10, 11, 12, 13, 14].map((n) =>
    `<option value='${n}pt'${n === 8 ? " selected='selected'" : ''}>${n}pt</option>`).join('');
  return crlf(`<HTML>
<HEAD>
<TITLE> Tandemix Ergebnisse </TITLE>
`) + script('search.js') + script('view.js') + crlf(`</HEAD>
<BODY onLoad="javascript:synchron();">
<table width="100%" border="0" cellpadding="0" cellspacing="0">
<tr><td colspan="2"><SELECT id='fontoptions' onchange='switch_textsize(this.options[this.selectedIndex].value);'>${sizes}</SELECT>
</td></tr><tr><td colspan="2">
<form name="sync" action="javascript:synchron();">
<input type="checkbox" checked="checked" name="synbox" value="0" onClick="javascript:synchron();" />synchron scrollen
</form>
<form name="suche" onsubmit="get_frames('1');" action="javascript:get_frames('1');">
Suche: <input type="radio" name="suchoption" value="1" checked="checked" /> exakt
<input type="radio" name="suchoption" value="2" /> unscharf
<input type="text" name="eingabe" value="" />
<input name="senden" type="button" onclick="get_frames('1')" value="suchen">
<input name="clear" type="button" onclick="get_frames('0')" value="l&ouml;schen">
</form>
<form name="wrap" action="javascript:set_wrap();">
<input type="button" name="setwrap" value="Zeilenumbruch" onclick="set_wrap();"; />
</form>
</td></tr>
<tr><td class="grey" width="50%">${escapeHtml(name1)}</td><td class="grey" width="50%">${escapeHtml(name2)}</td></tr>
</table>
</BODY>
</HTML>
`);
}

const CONTAINER = crlf(`<HTML>
<HEAD><TITLE> Tandemix Ergebnisse </TITLE></HEAD>
<FRAMESET rows="90,*">
<FRAME name="top" src="~tandemixtop.htm">
<FRAMESET cols="*,*">
<FRAME name="frame0" src="~tandemix1.htm">
<FRAME name="frame1" src="~tandemix2.htm">
</FRAMESET>
</FRAMESET>
</HTML>
`);

// Rows are paired by position: the inputs have the same number of lines.
function writeFixtureReport(outDir, file1, file2) {
  const read = (f) => fs.readFileSync(f, 'utf8').replace(/\n$/, '').split('\n');
  const lines1 = read(file1);
  const lines2 = read(file2);
  const scriptsDir = path.join(__dirname, '..', '..', 'report', 'scripts');
  fs.mkdirSync(outDir, { recursive: true });
  fs.writeFileSync(path.join(outDir, 'Tandemix.htm'), CONTAINER);
  fs.writeFileSync(path.join(outDir, '~tandemixtop.htm'), topPage(scriptsDir, file1, file2));
  fs.writeFileSync(path.join(outDir, '~tandemix1.htm'), sidePage(lines1, lines2));
  fs.writeFileSync(path.join(outDir, '~tandemix2.htm'), sidePage(lines2, lines1));
}

module.exports = { writeInputs, writeFixtureReport };
