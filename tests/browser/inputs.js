'use strict';
// The two input files of the browser test.

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

module.exports = { writeInputs };
