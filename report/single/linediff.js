// The changed part of a changed pair.

// Changed pairs are compared word by word up to these sizes, beyond by common start and
// end only.
const WORD_DIFF_CHARACTERS = 4000;
const WORD_DIFF_CELLS = 250000;
const WORD_CHARACTER = /[\p{L}\p{N}_]/u;
const TOKEN = /[\p{L}\p{N}_]+|\s+|[\s\S]/gu;

const partsCache = new Map();

function isChangedPair(r) {
  return present(0, r) && present(1, r) && (sides[0].mark[r] === 1 || sides[1].mark[r] === 1);
}

function changedParts(r) {
  let parts = partsCache.get(r);
  if (!parts) {
    parts = lineDiff(textOf(0, r), textOf(1, r));
    if (partsCache.size > 5000) partsCache.clear();
    partsCache.set(r, parts);
  }
  return parts;
}

function isWordAt(text, i) {
  return i >= 0 && i < text.length && WORD_CHARACTER.test(text[i]);
}

function tokensOf(text, from, to) {
  const tokens = [];
  const piece = text.slice(from, to);
  TOKEN.lastIndex = 0;
  for (let m = TOKEN.exec(piece); m; m = TOKEN.exec(piece)) {
    tokens.push({ text: m[0], from: from + m.index, to: from + m.index + m[0].length });
  }
  return tokens;
}

// The ranges of each line that the other does not have: common start and end first,
// then the words between by their longest common subsequence.
function lineDiff(a, b) {
  const shortest = Math.min(a.length, b.length);
  let start = 0;
  while (start < shortest && a.charCodeAt(start) === b.charCodeAt(start)) start++;
  let endA = a.length;
  let endB = b.length;
  while (endA > start && endB > start && a.charCodeAt(endA - 1) === b.charCodeAt(endB - 1)) {
    endA--;
    endB--;
  }
  const whole = () => [endA > start ? [start, endA] : [], endB > start ? [start, endB] : []];
  if (endA - start > WORD_DIFF_CHARACTERS || endB - start > WORD_DIFF_CHARACTERS) return whole();
  // Whole words are compared: the common start and end give back a word they cut into.
  while (start > 0 && isWordAt(a, start - 1) && (isWordAt(a, start) || isWordAt(b, start))) start--;
  while (endA < a.length && isWordAt(a, endA) && (isWordAt(a, endA - 1) || isWordAt(b, endB - 1))) {
    endA++;
    endB++;
  }
  const ta = tokensOf(a, start, endA);
  const tb = tokensOf(b, start, endB);
  const n = ta.length;
  const m = tb.length;
  if ((n + 1) * (m + 1) > WORD_DIFF_CELLS) return whole();
  const width = m + 1;
  const common = new Uint16Array((n + 1) * width);
  for (let i = n - 1; i >= 0; i--) {
    for (let j = m - 1; j >= 0; j--) {
      common[i * width + j] = ta[i].text === tb[j].text
        ? common[(i + 1) * width + j + 1] + 1
        : Math.max(common[(i + 1) * width + j], common[i * width + j + 1]);
    }
  }
  const partsA = [];
  const partsB = [];
  const note = (parts, token) => {
    if (parts.length && parts[parts.length - 1] === token.from) parts[parts.length - 1] = token.to;
    else parts.push(token.from, token.to);
  };
  let i = 0;
  let j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && ta[i].text === tb[j].text) {
      i++;
      j++;
    } else if (j >= m || (i < n && common[(i + 1) * width + j] >= common[i * width + j + 1])) {
      note(partsA, ta[i++]);
    } else {
      note(partsB, tb[j++]);
    }
  }
  return [partsA, partsB];
}
