/* The login page's script: SHA-1 in the browser, the login procedure that
   sends the digest of the PLC's challenge and the password (never the
   password itself), and the detection of phones and tablets. The exchange is
   described in the generator's LoginExchange.md. */

// The UTF-8 bytes of a text (surrogate pairs joined, lone halves as U+FFFD).
function Utf8Bytes(text) {
  var bytes = [];
  for (var i = 0; i < text.length; i++) {
    var c = text.charCodeAt(i);
    if (c >= 0xd800 && c <= 0xdbff && i + 1 < text.length) {
      var low = text.charCodeAt(i + 1);
      if (low >= 0xdc00 && low <= 0xdfff) {
        c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
        i++;
      }
    }
    if (c >= 0xd800 && c <= 0xdfff) c = 0xfffd;
    if (c < 0x80) {
      bytes.push(c);
    } else if (c < 0x800) {
      bytes.push(0xc0 | (c >> 6), 0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
      bytes.push(0xe0 | (c >> 12), 0x80 | ((c >> 6) & 0x3f), 0x80 | (c & 0x3f));
    } else {
      bytes.push(0xf0 | (c >> 18), 0x80 | ((c >> 12) & 0x3f), 0x80 | ((c >> 6) & 0x3f), 0x80 | (c & 0x3f));
    }
  }
  return bytes;
}

function Sha1Rotl(x, n) {
  return (x << n) | (x >>> (32 - n));
}

// One 64-byte block of the message (as 16 big-endian words) into the state.
function Sha1Block(h, w) {
  for (var t = 16; t < 80; t++) w[t] = Sha1Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  var a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
  for (t = 0; t < 80; t++) {
    var f, k;
    if (t < 20) {
      f = (b & c) | (~b & d);
      k = 0x5a827999;
    } else if (t < 40) {
      f = b ^ c ^ d;
      k = 0x6ed9eba1;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8f1bbcdc;
    } else {
      f = b ^ c ^ d;
      k = 0xca62c1d6;
    }
    var temp = (Sha1Rotl(a, 5) + f + e + k + w[t]) | 0;
    e = d;
    d = c;
    c = Sha1Rotl(b, 30);
    b = a;
    a = temp;
  }
  h[0] = (h[0] + a) | 0;
  h[1] = (h[1] + b) | 0;
  h[2] = (h[2] + c) | 0;
  h[3] = (h[3] + d) | 0;
  h[4] = (h[4] + e) | 0;
}

// The SHA-1 digest of a byte array as 40 upper-case hexadecimal digits.
function Sha1HexOfBytes(bytes) {
  var message = bytes.slice(0);
  var bitLength = bytes.length * 8;
  message.push(0x80);
  while (message.length % 64 !== 56) message.push(0);
  var high = Math.floor(bitLength / 0x100000000);
  var low = bitLength >>> 0;
  message.push((high >>> 24) & 0xff, (high >>> 16) & 0xff, (high >>> 8) & 0xff, high & 0xff);
  message.push((low >>> 24) & 0xff, (low >>> 16) & 0xff, (low >>> 8) & 0xff, low & 0xff);
  var h = [0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0];
  var w = new Array(80);
  for (var i = 0; i < message.length; i += 64) {
    for (var j = 0; j < 16; j++) {
      var p = i + j * 4;
      w[j] = (message[p] << 24) | (message[p + 1] << 16) | (message[p + 2] << 8) | message[p + 3];
    }
    Sha1Block(h, w);
  }
  var hex = '';
  for (i = 0; i < 5; i++) hex += ('00000000' + (h[i] >>> 0).toString(16)).slice(-8);
  return hex.toUpperCase();
}

// The SHA-1 digest of a text's UTF-8 bytes.
function Sha1Hex(text) {
  return Sha1HexOfBytes(Utf8Bytes(String(text)));
}

// What the login page sends instead of the password: the digest of the
// challenge followed by the password.
function LoginDigest(challenge, password) {
  return Sha1Hex(String(challenge) + String(password));
}

// Phones and tablets by their user agent text.
function IsMobileBrowser(agent) {
  return /Android|iPhone|iPad|iPod|Mobile|Opera Mini|IEMobile|BlackBerry|webOS/i.test(String(agent || ''));
}

// Marks the page's body with the class "mob" on phones and tablets, so that
// the form style gives larger fields and buttons; true when it did.
function StyleForMob() {
  if (!IsMobileBrowser(navigator.userAgent)) return false;
  var body = document.body;
  if (!/(^|\s)mob(\s|$)/.test(body.className)) body.className = (body.className ? body.className + ' ' : '') + 'mob';
  return true;
}

// The login form's submit handler: puts the user name and the digest into the
// hidden form that goes to the PLC, empties the password field and sends the
// hidden form. Answers false, so the visible form (whose fields carry no
// names) is never sent.
function ProccessLogin() {
  var user = document.getElementById('user');
  var pass = document.getElementById('pass');
  var challenge = document.getElementById('sendAcer').value;
  document.getElementById('sendUser').value = user.value;
  document.getElementById('sendPass').value = LoginDigest(challenge, pass.value);
  pass.value = '';
  document.getElementById('sendform').submit();
  return false;
}
