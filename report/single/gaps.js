// Lines the options left out (empty lines, unless kept) make a side's line numbers jump;
// the number after such a gap carries a mark and says how many lines are missing.
/* global rows */
/* exported gaps */

const gaps = (function (rows) {
  // Row -> lines left out before it, on one side. A section starts its numbers anew.
  function findGaps(s) {
    const side = rows.sides[s];
    const found = new Map();
    let last = 0;
    for (let r = 0; r < rows.count; r++) {
      if (side.section.has(r)) last = 0;
      if (!rows.present(s, r)) continue;
      const number = side.line[r];
      if (number > last + 1) found.set(r, number - last - 1);
      last = number;
    }
    return found;
  }

  let lineGaps = [findGaps(0), findGaps(1)];
  rows.whenComplete(() => {
    lineGaps = [findGaps(0), findGaps(1)];
  });

  // Marks the line number element of row r on side s when lines are missing before it.
  function mark(number, s, r) {
    const gap = lineGaps[s].get(r);
    if (!gap) return;
    number.classList.add('gap');
    number.title = gap === 1 ? '1 leere Zeile ausgelassen' : gap + ' leere Zeilen ausgelassen';
  }

  return { mark };
})(rows);
