// The rows, read once from the page's data block.

const PLACEHOLDER = -1;
const SHARED = -2;

const dataElement = $('tandemix-data');
let data = JSON.parse(dataElement.textContent);
dataElement.remove();
const rowCount = data.rows;
const sides = [decodeSide(0), decodeSide(1)];
data = null;

// A side keeps its texts as the one string of the data block; `own` gives a row's place
// in it, or PLACEHOLDER, or SHARED when the row shows the first side's text.
function decodeSide(s) {
  const codes = data.marks[s];
  const joined = data.texts[s];
  const numbers = data.lines[s];
  const breaks = data.breaks[s];
  const titles = data.sections[s];
  const mark = new Uint8Array(rowCount);
  const line = new Uint32Array(rowCount);
  const own = new Int32Array(rowCount);
  const ownRow = new Int32Array(rowCount);
  const starts = new Uint32Array(rowCount + 1);
  let k = 0;
  let at = 0;
  let n = 0;
  let b = 0;
  let next = 1;
  for (let r = 0; r < rowCount; r++) {
    const c = codes.charCodeAt(r);
    if (c >= 97) {
      mark[r] = c - 97;
      own[r] = PLACEHOLDER;
      continue;
    }
    if (c >= 65) {
      mark[r] = c - 65;
      own[r] = SHARED;
    } else {
      mark[r] = c - 48;
      own[r] = k;
      ownRow[k] = r;
      starts[k++] = at;
      let feeds = 1;
      if (b < breaks.length && breaks[b] === r) {
        feeds += breaks[b + 1];
        b += 2;
      }
      while (feeds-- > 0) at = joined.indexOf('\n', at) + 1 || joined.length;
    }
    if (n < numbers.length && numbers[n] === r) {
      next = numbers[n + 1];
      n += 2;
    }
    line[r] = next++;
  }
  starts[k] = at;
  const section = new Map();
  for (let i = 0; i + 1 < titles.length; i += 2) section.set(titles[i], titles[i + 1]);
  return { joined, mark, line, own, ownRow, starts, ownCount: k, section, tabs: null };
}

function present(s, r) {
  return sides[s].own[r] !== PLACEHOLDER;
}

function textOf(s, r) {
  const side = sides[s];
  const o = side.own[r];
  if (o >= 0) return side.joined.slice(side.starts[o], side.starts[o + 1] - 1);
  return o === SHARED ? textOf(0, r) : '';
}

function lengthOf(s, r) {
  const side = sides[s];
  const o = side.own[r];
  if (o >= 0) return side.starts[o + 1] - side.starts[o] - 1;
  return o === SHARED ? lengthOf(0, r) : 0;
}

// Which rows hold a tab, found once with one scan of the side's texts.
function hasTab(s, r) {
  const side = sides[s];
  const o = side.own[r];
  if (o === SHARED) return hasTab(0, r);
  if (o < 0) return false;
  if (!side.tabs) {
    side.tabs = new Uint8Array(side.ownCount);
    let k = 0;
    for (let p = side.joined.indexOf('\t'); p >= 0; p = side.joined.indexOf('\t', p + 1)) {
      while (side.starts[k + 1] <= p) k++;
      side.tabs[k] = 1;
    }
  }
  return side.tabs[o] === 1;
}

const sectionAt = new Uint8Array(rowCount);
for (const side of sides) for (const r of side.section.keys()) if (r < rowCount) sectionAt[r] = 1;

// A row differs when either side is marked; a run of such rows is one difference.
const differs = new Uint8Array(rowCount);
const blockStarts = [];
const blockEnds = [];
for (let r = 0; r < rowCount; r++) {
  if (sides[0].mark[r] || sides[1].mark[r]) {
    differs[r] = 1;
    if (r === 0 || !differs[r - 1]) blockStarts.push(r);
  } else if (r > 0 && differs[r - 1]) {
    blockEnds.push(r);
  }
}
if (blockEnds.length < blockStarts.length) blockEnds.push(rowCount);
const blockCount = blockStarts.length;

let maxNumber = 0;
for (const side of sides) for (let r = 0; r < rowCount; r++) if (side.line[r] > maxNumber) maxNumber = side.line[r];
