// Resolves generated links against generated web pages with our resolver
// (differential_tool url) and with node's URL parser, and prints every case
// on which they differ. A fixed seed makes every run the same.
//
// What must agree: for a web (http or https) address the whole address, and
// the parts net::URL reads from ours (scheme, user, password, host, port,
// path, query, fragment) must be those of the reference; for any other
// address the whole address too. Both sides are compared after one
// normalisation, which changes no request: ours escapes what may never stand
// in a URL ('^', '`', '{', '|', '}', '\', blanks, controls) and a "%" that
// starts no escape ("%25"), where the reference leaves some of them as they
// are; the reference's answer is escaped the same way. One deliberate
// difference: a host that holds '"', '`', '{' or '}' (which no name server
// knows) is refused by ours. An address the reference refuses, ours must
// refuse too.
//
// One fault of the reference is allowed for: an empty or fragment-only link
// on a page whose address ends in an empty query ("/p?") keeps that empty
// query (the page's query is copied, and it is ""), which node drops.
import { spawnSync } from 'node:child_process';

const tool = process.argv[2];
const CASES = 4000;

function mulberry32(seed) {
  return () => {
    seed |= 0;
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const rnd = mulberry32(20240611);
const int = (n) => Math.floor(rnd() * n);
const pick = (a) => a[int(a.length)];
const chance = (p) => rnd() < p;
const times = (n, f) => Array.from({ length: n }, f).join('');

function label() {
  const chars = 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_';
  return times(1 + int(8), () => pick(chars));
}
const domain = () => Array.from({ length: 1 + int(3) }, label).join('.') + pick(['.com', '.org', '', '.', '.de']);
const ipv4 = () =>
  pick([
    () => Array.from({ length: 4 }, () => String(int(chance(0.1) ? 300 : 256))).join('.'),
    () => '0x' + int(256).toString(16) + '.' + int(256) + '.' + int(65536),
    () => '0' + int(256).toString(8) + '.0.0.' + int(256),
    () => String(int(4294967296)),
    () => '0x' + int(4294967296).toString(16).toUpperCase(),
    () => int(256) + '.' + int(16777216),
    () => '1.2.3.4.',
    () => '1.2.3.4.5',
    () => '1.2.3.09',
    () => '4294967296',
    () => 'foo.0x',
    () => 'foo.09',
    () => '1..2',
    () => '0x',
    () => '08',
  ])();
const ipv6Piece = () => int(65536).toString(16);
const ipv6 = () =>
  '[' +
  pick([
    () => Array.from({ length: 8 }, ipv6Piece).join(':'),
    () => Array.from({ length: int(4) }, ipv6Piece).join(':') + '::' + Array.from({ length: int(4) }, ipv6Piece).join(':'),
    () => '::' + pick(['1', 'ffff:1.2.3.4', '1.2.3.4', '256.1.1.1', '1.2.3', '01.2.3.4']),
    () => '0:0:0:0:' + pick(['0:0:0:1', '1:0:0:0', 'FFFF:0:0:0']),
    () => pick(['1::2::3', ':1', '1:', '12345::', '::', 'g::', '1:2:3:4:5:6:7:8:9', '::1.2.3.4.5', 'v1.x', '1:0:0:2:0:0:0:3']),
  ])() +
  ']';
const oddHost = () =>
  pick([
    'ex%41mple.com', '%zz', 'a%2eb', 'a%2520b', 'a%00b', 'b\u00fccher.de', '\uff25\uff38\uff21\uff2d\uff30\uff2c\uff25.com',
    'a\u3002b', 'xn--bcher-kva.de', 'XN--BCHER-KVA.DE', 'xn--a', 'a b', 'a<b', 'a{b}', 'a"b', 'a`b', 'a^b', 'a|b',
    '\u0627\u0031', 'a\u200db', '-a-.com', '', '.', '..', 'a..b', 'localhost', 'LOCALHOST', '%EF%BB%BFa', 'a%C3%BC',
    'a%ff', '\u00df.de', 'a\u00adb', '\u2163.com',
  ]);
const host = () => pick([domain, domain, domain, ipv4, ipv6, oddHost])();
const port = () =>
  chance(0.6)
    ? ''
    : pick([':80', ':443', ':8080', ':0', ':65535', ':65536', ':99999', ':', ':0080', ':8x', ':000000000000000000443', ':1:2']);
const userinfo = () =>
  chance(0.7) ? '' : pick(['user@', 'user:pass@', ':pass@', 'u@s@', 'a:b:c@', '%40@', 'us er@', '\u00fc:\u00ef@', '@', ':@', 'a%zz:%2@']);
const segment = () =>
  pick([
    label, label, label,
    () => pick(['.', '..', '%2e', '%2E%2e', '.%2e', '%2e.', '...', '']),
    () => pick(['a b', 'a%20b', '\u00e9', '%zz', '%', '%4', 'a^b|c', '{x}', '`', '"q"', '<>', 'a;b=c', '~user', '[x]']),
    () => pick(['C:', 'C|', 'a\\b', 'a?b', 'a#b', '\u{1F600}', '\u0000', '\u007f', "it's"]),
  ])();
const path = (sep = '/') => Array.from({ length: int(5) }, segment).join(chance(0.1) ? '\\' : sep);
const queryText = () =>
  times(int(5), () => pick(['a=1', '&', 'b', ' ', "'", '"', '<', '>', '^', '`', '{', '}', '|', '\\', '?', '\u00e9', '%zz', '%41', '/', '.']));
const query = () => (chance(0.6) ? '' : '?' + queryText());
const fragment = () => (chance(0.7) ? '' : '#' + queryText() + pick(['', '#x', ' ']));
const webScheme = () => pick(['http', 'https', 'HTTP', 'hTtPs', 'Https']);

function base() {
  for (;;) {
    const b =
      pick(['http', 'https']) + '://' + (chance(0.2) ? userinfo() : '') + pick([domain, domain, ipv4, ipv6])() +
      port() + '/' + path() + (chance(0.5) ? '/' : '') + query() + fragment();
    try {
      const u = new URL(b);
      if (!/[\"`{}]/.test(u.hostname)) return b;
    } catch {}
  }
}

function href() {
  const kind = int(12);
  switch (kind) {
    case 0:
    case 1:
      return webScheme() + pick(['://', '://', ':/', ':', ':\\\\', ':///', ':\\/']) + userinfo() + host() + port() + '/' +
        path() + query() + fragment();
    case 2:
      return pick(['//', '\\\\', '/\\', '\\/', '///']) + userinfo() + host() + port() + (chance(0.8) ? '/' : '') + path() + query();
    case 3:
      return '/' + path() + query() + fragment();
    case 4:
    case 5:
      return pick(['', './', '../', '../../', './../', '.', '..', '%2e%2e/', './/']) + path() + query() + fragment();
    case 6:
      return '?' + queryText() + fragment();
    case 7:
      return '#' + queryText();
    case 8:
      return pick(['', ' ', '\t', '\n', '?', '#', '/', '//', '\\', '.', '..']);
    case 9:
      return pick([
        'mailto:a@b.c', 'javascript:alert(1)', 'JavaScript:x', 'java\nscript:x', 'data:text/html,<b>x</b> y',
        'file:///etc/passwd', 'file:x', 'file://host/C|/x', 'file:C:/x', 'about:blank', 'foo://a b/c', 'foo:/x/../y',
        'foo://h/p%zz?q#f', 'tel:+1 234', 'ftp://x/y', 'ws://x:80/', 'wss:x', 'http:x', 'https:x', 'http:/x', 'http:\\x',
        'a:b', 'a+b.c-d:e', '1a:b', 'foo:', 'foo:/.//x', 'sc://\u00fc/',
      ]);
    case 10:
      return webScheme() + '://' + host() + port() + pick(['', '/', '?q', '#f', '\\x']);
    default:
      return path() + query() + fragment();
  }
}

function mutate(s) {
  if (chance(0.25)) s = pick([' ', '\t', '\n', '\r\n', '\u0000', '\u001f', '\u000c', ' \n ']) + s;
  if (chance(0.25)) s += pick([' ', '\t', '\n', '\r', '\u0000', '\u0001', '  ']);
  if (chance(0.2))
    for (let k = 1 + int(3); k > 0; --k) {
      const at = int(s.length + 1);
      s = s.slice(0, at) + pick(['\t', '\n', '\r']) + s.slice(at);
    }
  return s;
}

// Escapes what net::URL refuses, and a "%" that starts no escape.
function escapeForbidden(s) {
  let out = '';
  for (let i = 0; i < s.length; ++i) {
    const c = s[i];
    const code = c.charCodeAt(0);
    if (c === '%') out += /^[0-9a-fA-F]{2}$/.test(s.substr(i + 1, 2)) ? c : '%25';
    else if (code <= 0x20 || code >= 0x7f || '"<>\\^`{|}'.includes(c))
      out += '%' + code.toString(16).toUpperCase().padStart(2, '0');
    else out += c;
  }
  return out;
}

const hexOf = (s) => Buffer.from(s, 'utf8').toString('hex');
const fromHex = (h) => Buffer.from(h, 'hex').toString('utf8');

// The reference's answer with the page's empty query put back, when the link
// is empty or a fragment alone and the page's address has an empty query.
function keepsEmptyQuery(c, want) {
  const link = c.href.replace(/^[\u0000-\u0020]+|[\u0000-\u0020]+$/g, '').replace(/[\t\n\r]/g, '');
  if (link !== '' && !link.startsWith('#')) return null;
  const page = new URL(c.base).href;
  const pageHash = page.indexOf('#');
  if (!(pageHash < 0 ? page : page.slice(0, pageHash)).endsWith('?')) return null;
  const hash = want.indexOf('#');
  return hash < 0 ? want + '?' : want.slice(0, hash) + '?' + want.slice(hash);
}

const cases = [];
for (let i = 0; i < CASES; ++i) cases.push({ href: mutate(href()), base: base() });
const run = spawnSync(tool, ['url'], {
  input: cases.map((c) => hexOf(c.href) + '\t' + hexOf(c.base)).join('\n') + '\n',
  maxBuffer: 64 << 20,
});
if (run.status !== 0) {
  console.error('differential_tool failed:', run.status, String(run.stderr));
  process.exit(1);
}
const answers = String(run.stdout).split('\n').slice(0, -1);
if (answers.length !== cases.length) {
  console.error(`differential_tool answered ${answers.length} of ${cases.length} cases`);
  process.exit(1);
}

let differences = 0;
const counts = { web: 0, other: 0, refused: 0, oddHost: 0, emptyQuery: 0 };
function differ(c, why, ours, ref) {
  if (++differences <= 25)
    console.log(`DIFFERENCE: ${why}\n  href: ${JSON.stringify(c.href)}\n  base: ${JSON.stringify(c.base)}\n` +
      `  ours: ${JSON.stringify(ours)}\n  node: ${JSON.stringify(ref)}`);
}

cases.forEach((c, i) => {
  const f = answers[i].split('\t');
  const ours = fromHex(f[0]);
  const valid = f[1] === '1';
  let ref = null;
  try {
    ref = new URL(c.href, c.base);
  } catch {}
  if (!ref) {
    counts.refused++;
    if (ours !== '') differ(c, 'the reference refuses it, ours does not', ours, null);
    return;
  }
  if (/["`{}]/.test(ref.hostname)) {
    counts.oddHost++;
    if (ours !== '') differ(c, 'a host no URL may carry, yet ours gave an address', ours, ref.href);
    return;
  }
  let want = escapeForbidden(ref.href);
  if (ours !== want && keepsEmptyQuery(c, want) === ours) {
    counts.emptyQuery++;
    want = ours;
  }
  if (ours !== want) return differ(c, 'different address', ours, want);
  if (!valid) return differ(c, 'net::URL refuses our address', ours, want);
  const web = ref.protocol === 'http:' || ref.protocol === 'https:';
  counts[web ? 'web' : 'other']++;
  if (!web) return;
  const hash = want.indexOf('#');
  const beforeHash = hash < 0 ? want : want.slice(0, hash);
  const q = beforeHash.indexOf('?');
  const parts = {
    scheme: ref.protocol.slice(0, -1),
    user: escapeForbidden(ref.username),
    password: escapeForbidden(ref.password),
    host: ref.hostname,
    port: ref.port === '' ? '0' : ref.port,
    path: escapeForbidden(ref.pathname),
    hasQuery: q >= 0 ? '1' : '0',
    query: q >= 0 ? beforeHash.slice(q + 1) : '',
    fragment: hash < 0 ? '' : want.slice(hash + 1),
  };
  const got = {
    scheme: fromHex(f[2]), user: fromHex(f[3]), password: fromHex(f[4]), host: fromHex(f[5]), port: f[6],
    path: fromHex(f[7]), hasQuery: f[8], query: fromHex(f[9]), fragment: fromHex(f[10]),
  };
  for (const k of Object.keys(parts))
    if (parts[k] !== got[k]) return differ(c, `net::URL reads another ${k}: ${JSON.stringify(got[k])}`, ours, want);
});

console.log(
  `url: ${cases.length} links compared with node ${process.version}: ${counts.web} web addresses, ` +
    `${counts.other} other addresses, ${counts.refused} refused by node, ${counts.oddHost} with hosts no URL may carry, ` +
    `${counts.emptyQuery} kept empty queries node drops; ` +
    `${differences} differences`,
);
process.exit(differences ? 1 : 0);
