/* The client of pages that have a JSON map (JSN\<page>.JSN): it reads the
   page's map once, then asks the PLC for the page's data page periodically
   and keeps the values of the map's variables and the user level that the
   data page shows. The n-th INPUT entry of the data page belongs to the n-th
   variable of the map's member "rw". */

var VornVar = {
  map: null,
  values: {},
  level: 0,
  period: 1000,
  timer: null,
  onUpdate: null
};

// "PAGE1.XML" -> "JSN/PAGE1.JSN".
function VornVarMapPath(pageFile) {
  return 'JSN/' + String(pageFile).replace(/\.[^.\/]*$/, '') + '.JSN';
}

// Takes the values and the user level out of a data page's document.
function VornVarTakeValues(map, xml) {
  var values = {};
  var inputs = xml.getElementsByTagName('INPUT');
  var names = map && map.rw ? map.rw : [];
  for (var i = 0; i < names.length && i < inputs.length; i++) values[names[i]] = inputs[i].getAttribute('VALUE');
  var access = xml.getElementsByTagName('ACCESS')[0];
  var level = access ? parseInt(access.getAttribute('USER_LEVEL'), 10) : 0;
  return { values: values, level: isNaN(level) ? 0 : level };
}

function VornVarGet(url, asXml, done) {
  var request = new XMLHttpRequest();
  request.open('GET', url, true);
  request.setRequestHeader('x-daltrex', 'data');
  request.onreadystatechange = function () {
    if (request.readyState !== 4) return;
    done(request.status === 200 ? (asXml ? request.responseXML : request.responseText) : null);
  };
  request.send(null);
}

function VornVarRefresh(pageFile) {
  VornVarGet(pageFile, true, function (xml) {
    if (xml) {
      var taken = VornVarTakeValues(VornVar.map, xml);
      VornVar.values = taken.values;
      VornVar.level = taken.level;
      if (VornVar.onUpdate) VornVar.onUpdate(VornVar.values, VornVar.level);
    }
    VornVar.timer = setTimeout(function () {
      VornVarRefresh(pageFile);
    }, VornVar.period);
  });
}

// Starts the client for the page's data page; onUpdate (values, level) is
// called after every answer.
function VornVarStart(pageFile, period, onUpdate) {
  VornVar.period = period > 0 ? period : 1000;
  VornVar.onUpdate = onUpdate || null;
  VornVarGet(VornVarMapPath(pageFile), false, function (text) {
    VornVar.map = text ? JSON.parse(text) : { rw: [] };
    VornVarRefresh(pageFile);
  });
}
