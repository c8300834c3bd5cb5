<?xml version="1.0" encoding="UTF-8"?>
<!-- The logout page: the PLC ends the session when it serves LOGOUT.XML. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" indent="no" />
	<xsl:template match="/LOGOUT">
		<html>
			<head>
				<meta name="viewport" content="width=device-width, initial-scale=1" />
				<link rel="stylesheet" type="text/css" href="PLCFORM.CSS" />
				<link rel="icon" type="image/x-icon" href="FAVICON.ICO" />
				<title>Logout</title>
			</head>
			<body>
				<div class="plcform">
					<h1>Logout</h1>
					<p>You have been logged out.</p>
					<a class="button" href="LOGIN.XML">Log in again</a>
				</div>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
