/* The client of pages that have a JSON map (JSN/<page>.JSN), as generator/
   JsonMap.md defines the exchange: it reads the page's map once, then asks
   the PLC for the page's data page periodically and keeps the values of the
   map's variables and the user level that the data page shows. The n-th
   INPUT entry of the data page belongs to the n-th variable of the map's
   member "rw", the n-th DATA entry to the n-th of "d"; the variables of "w"
   are only written. A data page of another UCID than the map's belongs to a
   newer compilation: the map is read again. */

var VornVar = {
  map: null,
  values: {},
  names: {},
  level: 0,
  page: '',
  period: 1000,
  timer: null,
  onUpdate: null
};

// "PAGE1.XML" -> "JSN/PAGE1.JSN".
function VornVarMapPath(pageFile) {
  return 'JSN/' + String(pageFile).replace(/\.[^.\/]*$/, '') + '.JSN';
}

function VornVarAttr(element, name) {
  return element ? element.getAttribute(name) : null;
}

// Takes the values and the user level out of a data page's document.
function VornVarTakeValues(map, xml) {
  var values = {};
  var lists = [
    ['INPUT', map && map.rw ? map.rw : []],
    ['DATA', map && map.d ? map.d : []]
  ];
  for (var l = 0; l < lists.length; l++) {
    var entries = xml.getElementsByTagName(lists[l][0]), names = lists[l][1];
    for (var i = 0; i < names.length && i < entries.length; i++) values[names[i]] = VornVarAttr(entries[i], 'VALUE');
  }
  var level = parseInt(VornVarAttr(xml.getElementsByTagName('ACCESS')[0], 'USER_LEVEL'), 10);
  return { values: values, level: isNaN(level) ? 0 : level };
}

// The identifiers under which the map's variables are written: those of the
// data page's INPUT entries for "rw", the map's own for "w".
function VornVarTakeNames(map, xml) {
  var names = {}, rw = map && map.rw ? map.rw : [], w = map && map.w ? map.w : [];
  var inputs = xml ? xml.getElementsByTagName('INPUT') : [];
  for (var i = 0; i < rw.length && i < inputs.length; i++) names[rw[i]] = VornVarAttr(inputs[i], 'NAME');
  for (var j = 0; j < w.length; j++) names[w[j].n] = w[j].v;
  return names;
}

// Whether the data page belongs to the compilation that wrote the map.
function VornVarSameCompilation(map, xml) {
  var ucid = VornVarAttr(xml.getElementsByTagName('ACCESS')[0], 'UCID');
  return !!map && String(map.UCID) === String(ucid);
}

function VornVarRequest(method, url, body, done) {
  var request = new XMLHttpRequest();
  request.open(method, url, true);
  if (body !== null) request.setRequestHeader('Content-Type', 'application/x-www-form-urlencoded');
  request.setRequestHeader('x-daltrex', 'data');
  request.onreadystatechange = function () {
    if (request.readyState !== 4) return;
    done(request.status === 200 ? request : null);
  };
  request.send(body);
}

function VornVarSchedule() {
  VornVar.timer = setTimeout(VornVarRefresh, VornVar.period);
}

function VornVarRefresh() {
  VornVarRequest('GET', VornVar.page, null, function (answer) {
    var xml = answer ? answer.responseXML : null;
    if (xml && !VornVarSameCompilation(VornVar.map, xml)) {
      VornVarLoadMap();
      return;
    }
    if (xml) {
      var taken = VornVarTakeValues(VornVar.map, xml);
      VornVar.values = taken.values;
      VornVar.level = taken.level;
      VornVar.names = VornVarTakeNames(VornVar.map, xml);
      if (VornVar.onUpdate) VornVar.onUpdate(VornVar.values, VornVar.level);
    }
    VornVarSchedule();
  });
}

function VornVarLoadMap() {
  VornVarRequest('GET', VornVarMapPath(VornVar.page), null, function (answer) {
    VornVar.map = answer ? JSON.parse(answer.responseText) : { UCID: 0, rw: [], d: [], w: [] };
    VornVar.names = VornVarTakeNames(VornVar.map, null);
    VornVarRefresh();
  });
}

// Starts the client for the page's data page; onUpdate (values, level) is
// called after every answer.
function VornVarStart(pageFile, period, onUpdate) {
  VornVar.page = String(pageFile);
  VornVar.period = period > 0 ? period : 1000;
  VornVar.onUpdate = onUpdate || null;
  VornVarLoadMap();
}

// Writes a variable of the map ("rw" or "w") by posting it to the page's
// data page; done (ok) follows the PLC's answer. A variable that the map
// does not hold is refused at once (false).
function VornVarWrite(variable, value, done) {
  var name = VornVar.names[variable];
  if (!name) return false;
  VornVarRequest('POST', VornVar.page, encodeURIComponent(name) + '=' + encodeURIComponent(value), function (answer) {
    if (done) done(!!answer);
  });
  return true;
}
