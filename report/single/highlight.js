// Syntax colours for the rows in view. Each side's language comes from its input's name;
// a language is a small tokenizer of one line that yields [from, to, class, ...]. Comments
// and strings that run over several lines carry a state from row to row: a side's rows are
// scanned in order up to the row shown, once, and the state at the start of each is kept.
/* global page, rows */
/* exported syntax */

const syntax = (function (document, page, rows) {
  // A row is coloured up to here; the row after a longer one starts afresh.
  const HIGHLIGHT_CHARACTERS = 10000;
  // Token classes: comment, string, number, keyword, tag, attribute, other (directives,
  // decorators, variables, entities, markers).
  const COMMENT = 'yc';
  const STRING = 'ys';
  const NUMBER = 'yn';
  const KEYWORD = 'yk';
  const TAG = 'yt';
  const ATTRIBUTE = 'ya';
  const OTHER = 'ym';
  // A group of this kind is a word, coloured only when it is one of the language's keywords.
  const WORD = 'w';

  const WORD_PATTERN = '[A-Za-z_$\\u00c0-\\uffff][\\w$\\u00c0-\\uffff]*';
  const NUMBER_PATTERN =
    '(?:0[xX][\\da-fA-F_]+|0[bB][01_]+|(?:\\d[\\d_]*(?:\\.\\d[\\d_]*)?|\\.\\d[\\d_]*)(?:[eE][+-]?\\d+)?)[a-zA-Z]*';
  const DOUBLE_QUOTED = '"(?:[^"\\\\]|\\\\.)*"?';
  const SINGLE_QUOTED = "'(?:[^'\\\\]|\\\\.)*'?";
  // Carried constructs: the pattern that runs from where they continue to their end.
  const BLOCK_COMMENT_END = /[\s\S]*?\*\//y;

  // A tokenizer from [pattern, kind] pairs tried in order at each place; text between matches
  // stays plain. A kind that is a number opens carried construct `kind` of `carried`
  // ([end pattern, class]), which may end on a later line.
  function lineLanguage(name, alternatives, { carried = [], keywords = '', opens = null } = {}) {
    const compile = (list) => [
      new RegExp(list.map(([source]) => '(' + source + ')').join('|'), 'g'),
      list.map(([, kind]) => kind),
    ];
    const full = compile(alternatives);
    // Words and numbers hold no comment or string: passing rows for their state skips them.
    const scan = compile(alternatives.filter(([, kind]) => kind !== WORD && kind !== NUMBER));
    const words = new Set(keywords.split(' '));
    // Where construct c, continued at `at`, ends; -1 when it goes on past the line.
    const endOf = (c, text, at) => {
      const end = carried[c][0];
      end.lastIndex = at;
      return end.test(text) ? end.lastIndex : -1;
    };
    const tokenize = (text, state, out) => {
      let at = 0;
      if (state) {
        at = endOf(state - 1, text, 0);
        if (out && at) out.push(0, at < 0 ? text.length : at, carried[state - 1][1]);
        if (at < 0) return state;
      }
      const [pattern, kinds] = out ? full : scan;
      pattern.lastIndex = at;
      for (let m = pattern.exec(text); m; m = pattern.exec(text)) {
        let g = 1;
        while (m[g] === undefined) g++;
        const kind = kinds[g - 1];
        const to = m.index + m[0].length;
        if (typeof kind === 'number') {
          const end = endOf(kind, text, to);
          if (out) out.push(m.index, end < 0 ? text.length : end, carried[kind][1]);
          if (end < 0) return kind + 1;
          pattern.lastIndex = end;
        } else if (kind !== WORD) {
          if (out) out.push(m.index, to, kind);
        } else if (out && words.has(m[0])) {
          out.push(m.index, to, KEYWORD);
        }
        if (!m[0].length) pattern.lastIndex++;
      }
      return 0;
    };
    return { name, tokenize, opens };
  }

  const C_LIKE = lineLanguage(
    'C-artig',
    [
      ['\\/\\/.*', COMMENT],
      ['\\/\\*', 0],
      ['^\\s*#\\s*[A-Za-z_]\\w*', OTHER],
      [DOUBLE_QUOTED, STRING],
      ["'(?:[^'\\\\]|\\\\.){1,10}'", STRING],
      [WORD_PATTERN, WORD],
      [NUMBER_PATTERN, NUMBER],
    ],
    {
      carried: [[BLOCK_COMMENT_END, COMMENT]],
      opens: /\/\*/,
      keywords:
        'abstract async auto await bool boolean break byte case catch char chan class const ' +
        'constexpr continue default defer delete do double dynamic_cast elif else enum explicit export ' +
        'extends extern false final finally float fn for foreach friend func goto if impl implements ' +
        'import inline instanceof int interface let long mut namespace new noexcept null nullptr NULL ' +
        'operator override package private protected pub public readonly register return sealed self ' +
        'Self short signed sizeof static static_cast struct super switch synchronized template this ' +
        'throw throws trait true try typedef typename union unsigned unsafe using var virtual void ' +
        'volatile while yield',
    },
  );

  const SCRIPT = lineLanguage(
    'JavaScript/TypeScript',
    [
      ['\\/\\/.*', COMMENT],
      ['\\/\\*', 0],
      ['`', 1],
      [DOUBLE_QUOTED, STRING],
      [SINGLE_QUOTED, STRING],
      [WORD_PATTERN, WORD],
      [NUMBER_PATTERN, NUMBER],
    ],
    {
      carried: [
        [BLOCK_COMMENT_END, COMMENT],
        [/(?:[^`\\]|\\[\s\S])*`/y, STRING],
      ],
      opens: /\/\*|`/,
      keywords:
        'abstract any as async await bigint boolean break case catch class const constructor ' +
        'continue debugger declare default delete do else enum export extends false finally for from ' +
        'function get if implements import in infer instanceof interface is keyof let namespace never new ' +
        'null number object of private protected public readonly return satisfies set static string ' +
        'super switch symbol this throw true try type typeof undefined unknown var void while with yield',
    },
  );

  const PYTHON = lineLanguage(
    'Python',
    [
      ['#.*', COMMENT],
      ['[rRbBuUfF]{0,2}"""', 0],
      ["[rRbBuUfF]{0,2}'''", 1],
      ['[rRbBuUfF]{0,2}' + DOUBLE_QUOTED, STRING],
      ['[rRbBuUfF]{0,2}' + SINGLE_QUOTED, STRING],
      ['@[A-Za-z_][\\w.]*', OTHER],
      [WORD_PATTERN, WORD],
      [NUMBER_PATTERN, NUMBER],
    ],
    {
      carried: [
        [/(?:[^\\]|\\[\s\S])*?"""/y, STRING],
        [/(?:[^\\]|\\[\s\S])*?'''/y, STRING],
      ],
      opens: /"""|'''/,
      keywords:
        'False None True and as assert async await break case class continue def del elif else ' +
        'except finally for from global if import in is lambda match nonlocal not or pass raise return ' +
        'self try while with yield',
    },
  );

  const SHELL = lineLanguage(
    'Shell',
    [
      ['(?:^|(?<=[\\s;|&(]))#.*', COMMENT],
      ["'[^']*'?", STRING],
      [DOUBLE_QUOTED, STRING],
      ['\\$(?:\\{[^}]*\\}?|[A-Za-z_]\\w*|[@*#?$!0-9-])', OTHER],
      ['[A-Za-z_][\\w-]*', WORD],
      ['\\b\\d+\\b', NUMBER],
    ],
    {
      keywords:
        'alias break case continue declare do done elif else esac eval exec exit export fi for ' +
        'function if in local readonly return select set shift source then time trap until unset while',
    },
  );

  const STYLE = lineLanguage(
    'CSS',
    [
      ['\\/\\*', 0],
      [DOUBLE_QUOTED, STRING],
      [SINGLE_QUOTED, STRING],
      ['@[\\w-]+|!important', KEYWORD],
      ['#[\\da-fA-F]{3,8}\\b', NUMBER],
      ['[\\w-]+(?=\\s*:[^{;]*(?:;|}|$))', ATTRIBUTE],
      ['-?[A-Za-z_][\\w-]*', WORD],
      ['-?(?:\\d+\\.?\\d*|\\.\\d+)(?:[a-zA-Z%]+)?', NUMBER],
    ],
    {
      carried: [[BLOCK_COMMENT_END, COMMENT]],
      opens: /\/\*/,
    },
  );

  const JSON_DATA = lineLanguage(
    'JSON',
    [
      ['\\/\\/.*', COMMENT],
      ['\\/\\*', 0],
      ['"(?:[^"\\\\]|\\\\.)*"(?=\\s*:)', ATTRIBUTE],
      [DOUBLE_QUOTED, STRING],
      ['-?\\d+(?:\\.\\d+)?(?:[eE][+-]?\\d+)?', NUMBER],
      ['[A-Za-z_]\\w*', WORD],
    ],
    {
      carried: [[BLOCK_COMMENT_END, COMMENT]],
      opens: /\/\*/,
      keywords: 'true false null',
    },
  );

  // HTML and XML: comments and tags carry (a tag's attributes may stand on later lines).
  // "<!-{2}" rather than the plain opener, which would change how the page reads this script.
  const MARKUP_TEXT = /(<!-{2})|(<\/?[A-Za-z][\w:.-]*|<[!?][\w:-]*)|(&#?\w+;)/g;
  const MARKUP_TAG = /(\??\/?>)|("[^"]*"?|'[^']*'?)|([^\s"'=<>/?]+)/g;
  const MARKUP_COMMENT = 1;
  const MARKUP_IN_TAG = 2;

  function tokenizeMarkup(text, state, out) {
    const push = (from, to, kind) => {
      if (out) out.push(from, to, kind);
    };
    let at = 0;
    while (at < text.length) {
      if (state === MARKUP_COMMENT) {
        const end = text.indexOf('-->', at);
        push(at, end < 0 ? text.length : end + 3, COMMENT);
        if (end < 0) return state;
        at = end + 3;
        state = 0;
      } else if (state === MARKUP_IN_TAG) {
        MARKUP_TAG.lastIndex = at;
        const m = MARKUP_TAG.exec(text);
        if (!m) return state;
        at = m.index + m[0].length;
        push(m.index, at, m[1] ? TAG : m[2] ? STRING : ATTRIBUTE);
        if (m[1]) state = 0;
      } else {
        MARKUP_TEXT.lastIndex = at;
        const m = MARKUP_TEXT.exec(text);
        if (!m) return 0;
        if (m[1]) {
          state = MARKUP_COMMENT;
          const end = text.indexOf('-->', m.index + 4);
          push(m.index, end < 0 ? text.length : end + 3, COMMENT);
          if (end < 0) return state;
          at = end + 3;
          state = 0;
          continue;
        }
        at = m.index + m[0].length;
        push(m.index, at, m[2] ? TAG : OTHER);
        if (m[2]) state = MARKUP_IN_TAG;
      }
    }
    return state;
  }

  const MARKUP = { name: 'HTML/XML', tokenize: tokenizeMarkup, opens: /<[A-Za-z!?/]/ };

  // Markdown: fenced code carries; headings, markers, code spans, links and emphasis.
  const MD_FENCE = /^ {0,3}(?:```|~~~)/;
  const MD_HEADING = /^ {0,3}#{1,6}(?:\s|$)/;
  const MD_MARKER = /^\s*(?:(?:>\s?)+|(?:[-*+]|\d+[.)])(?=\s))/;
  const MD_INLINE = /(`[^`]*`)|(!?\[[^\]]*\]\([^)]*\))|(\*\*[^*]+\*\*|__[^_]+__|\*[^*\s][^*]*\*|\b_[^_\s][^_]*_\b)/g;

  function tokenizeMarkdown(text, state, out) {
    const push = (from, to, kind) => {
      if (out && to > from) out.push(from, to, kind);
    };
    if (MD_FENCE.test(text)) {
      push(0, text.length, OTHER);
      return state ? 0 : 1;
    }
    if (state || !out) {
      push(0, text.length, STRING);
      return state;
    }
    if (MD_HEADING.test(text)) {
      push(0, text.length, KEYWORD);
      return 0;
    }
    const marker = MD_MARKER.exec(text);
    const start = marker ? marker[0].length : 0;
    push(0, start, OTHER);
    MD_INLINE.lastIndex = start;
    for (let m = MD_INLINE.exec(text); m; m = MD_INLINE.exec(text)) {
      push(m.index, m.index + m[0].length, m[1] ? STRING : m[2] ? ATTRIBUTE : OTHER);
    }
    return 0;
  }

  const MARKDOWN = { name: 'Markdown', tokenize: tokenizeMarkdown, opens: MD_FENCE };

  // File names (lower case) and extensions, by language.
  const LANGUAGE_NAMES = [
    [
      C_LIKE,
      'c h cc cpp cxx c++ hh hpp hxx h++ ipp inl ino cs java kt kts scala go rs swift dart m mm ' +
        'groovy gradle php proto cu glsl hlsl frag vert',
    ],
    [SCRIPT, 'js mjs cjs jsx ts mts cts tsx'],
    [PYTHON, 'py pyw pyi'],
    [
      SHELL,
      'sh bash zsh ksh bats mk cmake makefile gnumakefile dockerfile cmakelists.txt .bashrc ' +
        '.bash_profile .profile .zshrc',
    ],
    [
      MARKUP,
      'html htm xhtml shtml xml xsd xsl xslt svg plist rss atom xaml csproj vcxproj props targets ' + 'resx wsdl',
    ],
    [STYLE, 'css scss less'],
    [JSON_DATA, 'json jsonc json5 geojson webmanifest .babelrc .eslintrc'],
    [MARKDOWN, 'md markdown mdown mkd mkdn'],
  ];
  const LANGUAGE_OF = new Map();
  for (const [language, names] of LANGUAGE_NAMES) for (const name of names.split(' ')) LANGUAGE_OF.set(name, language);

  // A path or web address's language: its file name, or else its extension.
  function languageOfName(name) {
    let base = name.trim();
    if (/^[a-z][\w+.-]*:\/\//i.test(base)) base = base.replace(/[?#].*$/, '');
    base = base.slice(Math.max(base.lastIndexOf('/'), base.lastIndexOf('\\')) + 1).toLowerCase();
    const dot = base.lastIndexOf('.');
    return LANGUAGE_OF.get(base) || (dot >= 0 && LANGUAGE_OF.get(base.slice(dot + 1))) || null;
  }

  const syntaxSides = [...document.querySelectorAll('#names .name')].map((element) => {
    const language = languageOfName(element.textContent);
    return language && { language, states: null, known: 0 };
  });
  let shown = page.readSetting('syntax') !== 'off';

  // The state at the start of row r on side s.
  function syntaxStateAt(side, s, r) {
    if (!side.states) side.states = new Uint8Array(rows.count + 1);
    const { language, states } = side;
    // Rows not read yet are left for later: they show no text.
    const end = Math.min(r, rows.loaded);
    for (let k = side.known; k < end; k++) {
      let state = states[k];
      if (rows.present(s, k)) {
        if (rows.lengthOf(s, k) > HIGHLIGHT_CHARACTERS) {
          state = 0;
        } else {
          const text = rows.textOf(s, k);
          // A line that opens nothing leaves no construct open: most lines are passed so.
          if (state || (language.opens && language.opens.test(text))) state = language.tokenize(text, state, null);
        }
      }
      states[k + 1] = state;
    }
    if (end > side.known) side.known = end;
    return r === end ? states[r] : 0;
  }

  // The coloured ranges of row r on side s as [from, to, class, ...], or null.
  function tokensOf(s, r) {
    const side = syntaxSides[s];
    if (!shown || !side || !rows.present(s, r)) return null;
    const text = rows.textOf(s, r);
    const out = [];
    side.language.tokenize(
      text.length > HIGHLIGHT_CHARACTERS ? text.slice(0, HIGHLIGHT_CHARACTERS) : text,
      syntaxStateAt(side, s, r),
      out,
    );
    return out;
  }

  const box = page.byId('syntax');
  const names = syntaxSides.map((side) => (side ? side.language.name : 'unbekannt'));
  box.checked = shown;
  if (syntaxSides.some((side) => side)) {
    box.parentElement.title = 'Syntaxfarben: ' + names.join(' | ');
  } else {
    box.disabled = true;
    box.parentElement.title = 'Syntaxfarben: Dateityp unbekannt';
  }

  // Shows the colours or not, and keeps the choice.
  function show(on) {
    shown = on;
    page.writeSetting('syntax', on ? 'on' : 'off');
  }

  return { tokensOf, show, box };
})(document, page, rows);
