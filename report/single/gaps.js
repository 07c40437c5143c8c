// Lines the options left out (empty lines, unless kept) make a side's line numbers jump;
// the number after such a gap carries a mark and says how many lines are missing.

const lineGaps = [findGaps(0), findGaps(1)];

// Row -> lines left out before it, on one side. A section starts its numbers anew.
function findGaps(s) {
  const side = sides[s];
  const gaps = new Map();
  let last = 0;
  for (let r = 0; r < rowCount; r++) {
    if (side.section.has(r)) last = 0;
    if (!present(s, r)) continue;
    const number = side.line[r];
    if (number > last + 1) gaps.set(r, number - last - 1);
    last = number;
  }
  return gaps;
}

function markGap(number, s, r) {
  const gap = lineGaps[s].get(r);
  if (!gap) return;
  number.classList.add('gap');
  number.title = gap === 1 ? '1 leere Zeile ausgelassen' : gap + ' leere Zeilen ausgelassen';
}
