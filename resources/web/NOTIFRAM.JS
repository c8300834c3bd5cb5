/* The notification frame: registers the service worker NOTIFYSW.JS, asks the
   user to allow notifications and shows the state in the element "state". */

var gNotiTexts = {
  unsupported: 'This browser cannot show notifications.',
  denied: 'Notifications are blocked for this site.',
  granted: 'Notifications are on.',
  ask: 'Notifications are off.'
};

// The state text for the browser's permission ("granted", "denied", "default").
function NotiStateText(supported, permission) {
  if (!supported) return gNotiTexts.unsupported;
  if (permission === 'granted') return gNotiTexts.granted;
  if (permission === 'denied') return gNotiTexts.denied;
  return gNotiTexts.ask;
}

function NotiSupported() {
  return 'serviceWorker' in navigator && typeof Notification !== 'undefined';
}

function NotiShowState() {
  var supported = NotiSupported();
  var permission = supported ? Notification.permission : 'denied';
  document.getElementById('state').textContent = NotiStateText(supported, permission);
  document.getElementById('enable').style.display = supported && permission === 'default' ? 'inline-block' : 'none';
}

function NotiEnable() {
  Notification.requestPermission().then(function () {
    NotiShowState();
  });
}

function NotiStart() {
  if (NotiSupported()) navigator.serviceWorker.register('NOTIFYSW.JS');
  document.getElementById('enable').onclick = NotiEnable;
  NotiShowState();
}

if (typeof window !== 'undefined' && window.addEventListener) window.addEventListener('load', NotiStart);
