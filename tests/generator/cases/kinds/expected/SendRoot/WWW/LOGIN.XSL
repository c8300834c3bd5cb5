<?xml version="1.0" encoding="UTF-8"?>
<!-- The login page. The PLC serves LOGIN.XML with a fresh challenge in ACER,
     the user name of a refused attempt in USER and the outcome of that
     attempt in PASS (see the generator's LoginExchange.md). The visible form's
     fields have no names: ProccessLogin sends the hidden form, which carries
     the user name, the digest and the challenge, never the password. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" indent="no" />
	<xsl:template match="/LOGIN">
		<html>
			<head>
				<meta name="viewport" content="width=device-width, initial-scale=1" />
				<link rel="stylesheet" type="text/css" href="PLCFORM.CSS" />
				<link rel="icon" type="image/x-icon" href="FAVICON.ICO" />
				<script type="text/javascript" src="SHA1.JS" charset="utf-8"></script>
				<title>Login</title>
			</head>
			<body onload="StyleForMob(); document.getElementById('user').focus();">
				<div class="plcform">
					<h1>Login</h1>
					<form id="loginform" action="#" onsubmit="return ProccessLogin();">
						<label for="user">User name</label>
						<input class="field" type="text" id="user" maxlength="10" autocomplete="username" value="{USER/@VALUE}" />
						<label for="pass">Password</label>
						<input class="field" type="password" id="pass" maxlength="10" autocomplete="current-password" />
						<xsl:if test="PASS/@VALUE = 'FAILED'">
							<p class="message" id="failed">Wrong user name or password.</p>
						</xsl:if>
						<xsl:if test="PASS/@VALUE = 'EXPIRED'">
							<p class="message" id="expired">The login page has expired. Please log in again.</p>
						</xsl:if>
						<button type="submit">Log in</button>
					</form>
					<form id="sendform" method="post" action="LOGIN.XML">
						<input type="hidden" id="sendUser" name="USER" value="" />
						<input type="hidden" id="sendPass" name="PASS" value="" />
						<input type="hidden" id="sendAcer" name="ACER" value="{ACER/@VALUE}" />
					</form>
				</div>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
